#include "versionchangesdialog.h"

#include "settings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QTextBrowser>
#include <QVBoxLayout>

VersionChangesDialog::VersionChangesDialog(QWidget* parent)
    : QDialog(parent),
      m_showInfoVersion(new QCheckBox(tr("Don't show this dialog at startup"), this))
{
    setObjectName(QStringLiteral("VersionChangesDialog"));
    setWindowTitle(tr("What's new"));
    auto* layout = new QVBoxLayout(this);
    auto* features = new QGroupBox(tr("New features"), this);
    auto* featuresLayout = new QVBoxLayout(features);
    auto* infoBrowser = new QTextBrowser(features);
    infoBrowser->setObjectName(QStringLiteral("infoBrowser"));
    infoBrowser->setHtml(
        tr("<ul><li>Timeshift: watch what ran up to a week ago.</li>"
           "<li>Recording of the channel you watch and of telecasts picked in "
           "the programme guide.</li>"
           "<li>Search over the programme guide of all channels.</li></ul>"));
    featuresLayout->addWidget(infoBrowser);
    layout->addWidget(features);
    layout->addWidget(new QLabel(tr("Important notice:"), this));
    m_showInfoVersion->setObjectName(QStringLiteral("showInfoVersion"));
    layout->addWidget(m_showInfoVersion);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void VersionChangesDialog::done(int result)
{
    if (m_showInfoVersion->isChecked())
        Settings::instance()->setVersionInfo();
    QDialog::done(result);
}
