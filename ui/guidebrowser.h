#pragma once

#include <QImage>
#include <QTextBrowser>

// The browser of the programme guide page. The record image of a scheduled
// telecast is the toolbar's; the page shows it at the size of the image of
// the telecasts not scheduled, so that every row keeps one height.
class GuideBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    explicit GuideBrowser(QWidget* parent = nullptr);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QImage m_recordImage;
};
