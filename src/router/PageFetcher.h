#pragma once

#include "platform/Transfer.h"

#include <QObject>
#include <QString>

#include <optional>

struct AppState;
class PageParser;
class StatusLine;

// What the window's router fields hold at the moment of a fetch, unchanged.
struct FetchInputs
{
    QString address; // txtIP
    QString port; // txtPort
    QString userName; // txtUser
    QString password; // txtPass
};

// Fetches the router's status page for one capture and hands it to the page parser.
// The fetch never blocks the thread: finished() reports its end, exactly once per accepted call.
class PageFetcher final : public QObject
{
    Q_OBJECT

public:
    PageFetcher(Transfer& transfer, PageParser& parser, StatusLine& status, AppState& state, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(PageFetcher)

    // False, with nothing started and no finished() to come, while a fetch is still running:
    // captures never overlap. Otherwise true; a port text that is no port ends the fetch at once,
    // with finished(false) emitted before this returns.
    bool fetchStatsPage(const FetchInputs& inputs);
    bool isFetching() const;
    // Ends a running fetch now, with finished(false).
    void cancel();

    // Whole numbers from 1 to 65535, digits only, blanks around them ignored.
    static std::optional<quint16> portFromText(const QString& text);

signals:
    // The whole page, for the page-text box while the page-text view is on.
    void pageCopied(const QString& page);
    void finished(bool ok);

private:
    void onTransferFinished(const TransferReply& reply);
    void end(bool ok);
    static const char* failureText(TransferError error);

    Transfer& m_transfer;
    PageParser& m_parser;
    StatusLine& m_status;
    AppState& m_state;
    bool m_fetching = false;
};
