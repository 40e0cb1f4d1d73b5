#include "router/PageFetcher.h"

#include "stats/StatusLine.h"
#include "stats/StatusTexts.h"

#include <algorithm>

PageFetcher::PageFetcher(Transfer& transfer, StatusLine& status, QObject* parent)
    : QObject(parent)
    , m_transfer(transfer)
    , m_status(status)
{
    connect(&m_transfer, &Transfer::finished, this, &PageFetcher::onTransferFinished);
}

bool PageFetcher::fetchStatsPage(const FetchInputs& inputs)
{
    if (m_fetching)
        return false;
    m_fetching = true;
    m_status.showStatus(QString::fromLatin1(StatusTexts::connecting));
    const std::optional<quint16> port = portFromText(inputs.port);
    if (!port) {
        fail(StatusTexts::portInvalid);
        return true;
    }
    m_transfer.setRemotePort(*port);
    m_transfer.setUrl(QStringLiteral("http://") + inputs.address + inputs.pagePath);
    m_transfer.setUserName(inputs.userName);
    m_transfer.setPassword(inputs.password);
    m_transfer.openUrl();
    return true;
}

void PageFetcher::cancel()
{
    if (m_fetching)
        m_transfer.cancel();
}

std::optional<quint16> PageFetcher::portFromText(const QString& text)
{
    QString digits = text.trimmed();
    const bool allDigits = std::all_of(
        digits.begin(), digits.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
    if (digits.isEmpty() || !allDigits)
        return std::nullopt;
    while (digits.size() > 1 && digits.front() == QLatin1Char('0'))
        digits.remove(0, 1);
    // Five digits at most, so the number cannot overflow before the range check.
    if (digits.size() > 5)
        return std::nullopt;
    const int value = digits.toInt();
    if (value < 1 || value > 65535)
        return std::nullopt;
    return static_cast<quint16>(value);
}

void PageFetcher::onTransferFinished(const TransferReply& reply)
{
    if (!m_fetching)
        return;
    if (reply.error != TransferError::None) {
        fail(failureText(reply.error));
        return;
    }
    if (reply.body.isEmpty()) {
        fail(StatusTexts::cannotFindRouter);
        return;
    }
    // Over before the page goes on, so whatever the page sets off may begin the next fetch.
    m_fetching = false;
    emit pageFetched(reply.body);
}

void PageFetcher::fail(const char* reason)
{
    m_fetching = false;
    emit fetchFailed(QString::fromLatin1(reason));
}

const char* PageFetcher::failureText(TransferError error)
{
    switch (error) {
    case TransferError::TimedOut:
        return StatusTexts::routerTimedOut;
    case TransferError::TooLarge:
        return StatusTexts::replyTooLarge;
    case TransferError::Cancelled:
        return StatusTexts::fetchCancelled;
    case TransferError::None:
    case TransferError::Refused:
    case TransferError::HostNotFound:
    case TransferError::Other:
        break;
    }
    return StatusTexts::cannotFindRouter;
}
