#pragma once

#include <QDialog>

class QCheckBox;

// What is new in this version, offered at start until the user asks not to
// see it again for this version.
class VersionChangesDialog : public QDialog
{
    Q_OBJECT
public:
    explicit VersionChangesDialog(QWidget* parent = nullptr);

protected:
    void done(int result) override;

private:
    QCheckBox* m_showInfoVersion;
};
