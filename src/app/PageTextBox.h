#pragma once

#include <QString>

class QPlainTextEdit;

// The page-text box as the source of "Test Page". The box shows each fetched page, but a text box
// turns a lone carriage return into a line break and a no-break space into a space; so the page is
// kept as the router sent it and is what the box gives back while the box still shows it unchanged.
class PageTextBox
{
public:
    explicit PageTextBox(QPlainTextEdit& box);

    void showFetchedPage(const QString& page);
    // The fetched page while the box still holds it unchanged; otherwise the box's own text.
    QString pageText() const;

private:
    QPlainTextEdit& m_box;
    QString m_fetchedPage;
    QString m_shownText;
};
