#include "aboutbox.h"

#include "appinfo.h"
#include "logging.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutBox::AboutBox(const QString& engineVersion, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(tr("About %1").arg(AppInfo::name));
    auto* layout = new QVBoxLayout(this);
    auto* logo = new QLabel(this);
    logo->setPixmap(QPixmap(QStringLiteral(":/images/zentria_logo.png")));
    logo->setAlignment(Qt::AlignCenter);
    layout->addWidget(logo);
    auto* title = new QLabel(QStringLiteral("<h2>%1</h2>").arg(AppInfo::name), this);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    layout->addWidget(
        new QLabel(tr("Version:") + ' ' + QCoreApplication::applicationVersion(), this));
    layout->addWidget(new QLabel(tr("Television of your operator on your computer."), this));
    layout->addWidget(
        new QLabel(tr("Based on") + ' ' + QStringLiteral("VLC %1").arg(engineVersion), this));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* showLog = buttons->addButton(tr("Show Log"), QDialogButtonBox::ActionRole);
    connect(showLog, &QPushButton::clicked, this, [this] { Logging::showLog(this); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
