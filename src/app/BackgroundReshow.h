#pragma once

#include "GraphOpening.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <thread>

// Lays out another part of the opened graph (collapse, expand, exclude) on a thread of its own,
// as an opening does, so that the window keeps painting. Of requests that come quickly the
// latest wins: a running one is stopped at its next phase and the newest starts after it.
class BackgroundReshow : public QObject {
    Q_OBJECT

public:
    explicit BackgroundReshow(QObject* parent);
    ~BackgroundReshow() override;

    void reshow(const std::shared_ptr<GraphStore>& full, const ShownRequest& request);
    // Stops the running one and forgets the one waiting; returns once the thread has ended.
    void stop();
    bool busy() const { return m_thread.joinable(); }

signals:
    // The new part, in milliseconds from the request; a failed one carries the error.
    void finished(std::shared_ptr<OpenedGraph> opened, qint64 elapsed);

private:
    void startNext();
    void done(std::shared_ptr<OpenedGraph> opened);

    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::shared_ptr<GraphStore> m_waitingGraph;
    ShownRequest m_waitingRequest;
    unsigned m_generation = 0;
    qint64 m_started = 0;
};
