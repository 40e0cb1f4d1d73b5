#include "platform/CurlMulti.h"

#include <QPointer>
#include <QSocketNotifier>

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

CurlMulti::CurlMulti(QObject* parent)
    : QObject(parent)
{
    // Once per process, before the first handle; the window's thread is the only one using curl.
    static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    m_multi = initialised == CURLE_OK ? curl_multi_init() : nullptr;
    if (m_multi) {
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &CurlMulti::onSocket);
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &CurlMulti::onTimer);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
    }
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
}

CurlMulti::~CurlMulti()
{
    m_timer.stop();
    if (m_multi) {
        curl_multi_cleanup(m_multi);
    }
}

bool CurlMulti::add(CURL* handle)
{
    return m_multi && curl_multi_add_handle(m_multi, handle) == CURLM_OK;
}

void CurlMulti::remove(CURL* handle)
{
    if (m_multi) {
        curl_multi_remove_handle(m_multi, handle);
    }
}

int CurlMulti::onSocket(CURL*, curl_socket_t socket, int what, void* self, void*)
{
    auto* multi = static_cast<CurlMulti*>(self);
    if (what == CURL_POLL_REMOVE) {
        multi->unwatch(socket);
    } else {
        multi->watch(socket, what);
    }
    return 0;
}

int CurlMulti::onTimer(CURLM*, long timeoutMs, void* self)
{
    auto* multi = static_cast<CurlMulti*>(self);
    if (timeoutMs < 0) {
        multi->m_timer.stop();
    } else {
        multi->m_timer.start(int(std::min(timeoutMs, long{INT_MAX})));
    }
    return 0;
}

void CurlMulti::watch(curl_socket_t socket, int what)
{
    Watch& watch = m_watches[socket];
    if (!watch.read) {
        watch.read = new QSocketNotifier(socket, QSocketNotifier::Read, this);
        watch.write = new QSocketNotifier(socket, QSocketNotifier::Write, this);
        connect(watch.read, &QSocketNotifier::activated, this, [this, socket] { act(socket, CURL_CSELECT_IN); });
        connect(watch.write, &QSocketNotifier::activated, this, [this, socket] { act(socket, CURL_CSELECT_OUT); });
    }
    watch.read->setEnabled((what & CURL_POLL_IN) != 0);
    watch.write->setEnabled((what & CURL_POLL_OUT) != 0);
}

void CurlMulti::unwatch(curl_socket_t socket)
{
    const auto found = m_watches.find(socket);
    if (found == m_watches.end()) {
        return;
    }
    // The notifier may be the one whose signal brought us here: it goes once that is over.
    for (QSocketNotifier* notifier : {found->second.read, found->second.write}) {
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    m_watches.erase(found);
}

void CurlMulti::act(curl_socket_t socket, int events)
{
    int running = 0;
    curl_multi_socket_action(m_multi, socket, events, &running);
    reportDone();
}

void CurlMulti::reportDone()
{
    std::vector<std::pair<CURL*, CURLcode>> ended;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
        if (message->msg == CURLMSG_DONE) {
            ended.emplace_back(message->easy_handle, message->data.result);
        }
    }
    // A listener may remove handles or destroy this object; curl is not on the stack any more.
    const QPointer<CurlMulti> alive(this);
    for (const auto& [handle, result] : ended) {
        if (!alive) {
            return;
        }
        emit done(handle, result);
    }
}
