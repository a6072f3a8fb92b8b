#include "guidebrowser.h"

#include <QTextDocument>
#include <QUrl>

namespace {
const QString recordImage = QStringLiteral(":/images/record.png");
}  // namespace

GuideBrowser::GuideBrowser(QWidget* parent)
    : QTextBrowser(parent),
      m_recordImage(QImage(recordImage)
                        .scaled(QImage(QStringLiteral(":/images/no-record.png")).size(),
                                Qt::KeepAspectRatio, Qt::SmoothTransformation))
{
}

QVariant GuideBrowser::loadResource(int type, const QUrl& name)
{
    // The browser hands the name on resolved, with or without the scheme.
    if (type == QTextDocument::ImageResource && name.path().endsWith(recordImage.mid(1)))
        return m_recordImage;
    return QTextBrowser::loadResource(type, name);
}
