#include "BackgroundReshow.h"

#include <QDateTime>

BackgroundReshow::BackgroundReshow(QObject* parent) : QObject(parent) {}

BackgroundReshow::~BackgroundReshow() { stop(); }

void BackgroundReshow::reshow(const std::shared_ptr<GraphStore>& full,
                              const ShownRequest& request) {
    m_waitingGraph = full;
    m_waitingRequest = request;
    if (busy()) {
        m_cancel = true;  // done() starts the waiting one
        return;
    }
    startNext();
}

void BackgroundReshow::stop() {
    m_waitingGraph.reset();
    m_cancel = true;
    ++m_generation;
    if (m_thread.joinable()) m_thread.join();
}

void BackgroundReshow::startNext() {
    std::shared_ptr<GraphStore> full = std::move(m_waitingGraph);
    m_waitingGraph.reset();
    m_cancel = false;
    m_started = QDateTime::currentMSecsSinceEpoch();
    const unsigned generation = ++m_generation;
    m_thread = std::thread([this, full, request = m_waitingRequest, generation] {
        auto opened =
            std::make_shared<OpenedGraph>(GraphOpening::reshow(full, request, {}, &m_cancel));
        if (m_cancel) opened = std::make_shared<OpenedGraph>();
        QMetaObject::invokeMethod(
            this,
            [this, opened, generation] {
                if (generation == m_generation && busy()) done(opened);
            },
            Qt::QueuedConnection);
    });
}

void BackgroundReshow::done(std::shared_ptr<OpenedGraph> opened) {
    m_thread.join();
    const bool cancelled = m_cancel || opened->cancelled;
    if (m_waitingGraph) {
        startNext();
        return;
    }
    if (cancelled) return;
    emit finished(std::move(opened), QDateTime::currentMSecsSinceEpoch() - m_started);
}
