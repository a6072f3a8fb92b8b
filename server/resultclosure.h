#pragma once

#include <QByteArray>
#include <QMetaMethod>
#include <QObject>

#include <google/protobuf/stubs/callback.h>

// The completion of one call: owns the response the call fills in and, when
// run, emits the named signal of the receiver with that response by reference.
// The signal is looked up by its normalised signature, so that a misspelt name
// fails loudly in the log rather than silently in the compiler.
template <typename Response>
class ResultClosure : public google::protobuf::Closure
{
public:
    ResultClosure(QObject* receiver, const char* signalSignature)
        : m_receiver(receiver), m_signal(QMetaObject::normalizedSignature(signalSignature))
    {
    }

    Response* response() { return &m_response; }

    void Run() override
    {
        const QMetaObject* meta = m_receiver->metaObject();
        const int index = meta->indexOfSignal(m_signal.constData());
        if (index < 0) {
            qDebug("!!! no signal %s !!!", m_signal.constData());
            return;
        }
        const QMetaMethod signal = meta->method(index);
        const QByteArray typeName = signal.parameterTypes().value(0);
        signal.invoke(m_receiver, Qt::AutoConnection,
                      QGenericArgument(typeName.constData(), &m_response));
    }

private:
    Response m_response;
    QObject* m_receiver;
    QByteArray m_signal;
};
