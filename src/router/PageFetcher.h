#pragma once

#include "platform/Transfer.h"

#include <QObject>
#include <QString>

#include <optional>

class StatusLine;

// What the window's router fields and the settings hold at the moment of a fetch, unchanged.
struct FetchInputs
{
    QString address; // the router's address as typed, perhaps with its own ":port"
    QString port; // the port box's text
    QString userName;
    QString password;
    QString pagePath; // the "Stats page" setting, appended to the address as it stands
};

// Fetches the router's status page for one capture and hands its text over as it came, or says
// why there is none. The fetch never blocks the thread: exactly one of pageFetched() and
// fetchFailed() reports its end, once per accepted call.
class PageFetcher final : public QObject
{
    Q_OBJECT

public:
    PageFetcher(Transfer& transfer, StatusLine& status, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(PageFetcher)

    // False, with nothing started and nothing to come, while a fetch is still running: captures
    // never overlap. Otherwise true; a port text that is no port ends the fetch at once, with
    // fetchFailed() emitted before this returns.
    bool fetchStatsPage(const FetchInputs& inputs);
    bool isFetching() const { return m_fetching; }
    // Ends a running fetch now, with fetchFailed().
    void cancel();

    // Whole numbers from 1 to 65535, digits only, blanks around them ignored.
    static std::optional<quint16> portFromText(const QString& text);

signals:
    // A page came: never empty, whatever it holds (an error reply from the router included).
    void pageFetched(const QString& page);
    // No page came; the reason is the status text that tells the user why.
    void fetchFailed(const QString& reason);

private:
    void onTransferFinished(const TransferReply& reply);
    void fail(const char* reason);
    static const char* failureText(TransferError error);

    Transfer& m_transfer;
    StatusLine& m_status;
    bool m_fetching = false;
};
