#pragma once

#include <QObject>
#include <QTimer>

#include <curl/curl.h>
#include <map>

class QSocketNotifier;

// Drives libcurl's multi interface from the Qt event loop: a socket notifier for every socket curl
// watches and one single-shot timer for its time-outs. Nothing blocks and no thread is started, so
// a request lives exactly as long as its easy handle is added here.
class CurlMulti final : public QObject
{
    Q_OBJECT

public:
    explicit CurlMulti(QObject* parent = nullptr);
    ~CurlMulti() override;
    Q_DISABLE_COPY_MOVE(CurlMulti)

    // Starts the easy handle's transfer from the event loop; done() reports its end, never from
    // within add(). False when curl could not take the handle.
    bool add(CURL* handle);
    // Stops the transfer at once, closing its socket; done() does not follow.
    void remove(CURL* handle);

signals:
    void done(CURL* handle, CURLcode result);

private:
    struct Watch
    {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };

    static int onSocket(CURL* handle, curl_socket_t socket, int what, void* self, void* socketData);
    static int onTimer(CURLM* multi, long timeoutMs, void* self);
    void watch(curl_socket_t socket, int what);
    void unwatch(curl_socket_t socket);
    void act(curl_socket_t socket, int events);
    void reportDone();

    CURLM* m_multi;
    QTimer m_timer;
    std::map<curl_socket_t, Watch> m_watches;
};
