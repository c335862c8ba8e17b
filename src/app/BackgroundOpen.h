#pragma once

#include "GraphOpening.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>

#include <atomic>
#include <memory>
#include <thread>

class QTimer;
class QWidget;

// Opens files on a thread of its own, so that the window keeps painting and answering. One
// opening runs at a time: a file asked for while one runs cancels it and opens next, so that
// of quick requests the latest wins. After a moment a progress dialog shows the phase and
// offers Cancel. Results are handed over on the GUI thread, through finished().
class BackgroundOpen : public QObject {
    Q_OBJECT

public:
    // The progress dialog is modal to parent.
    explicit BackgroundOpen(QWidget* parent);
    ~BackgroundOpen() override;

    void open(const QString& fileName);
    // What part of the files opened from now on to show.
    void setShownRequest(const ShownRequest& request) { m_request = request; }
    // Stops the running opening and forgets any file waiting, without handing anything over.
    void cancel();
    // Like cancel(), but returns only once the opening thread has ended.
    void stop();
    bool busy() const { return m_thread.joinable(); }
    // The progress dialog, once it shows; null before.
    QProgressDialog* progressDialog() const { return m_dialog; }

    // How long an opening runs before the progress dialog shows, in milliseconds.
    static constexpr int kDialogDelay = 300;

signals:
    // A complete opening of fileName, in milliseconds from the request; a failed one carries the
    // error. Cancelled and superseded openings end without it.
    void finished(const QString& fileName, std::shared_ptr<OpenedGraph> opened, qint64 elapsed);

private:
    void startNext();
    void showPhase(int phase);
    // How far the opening has come, 0 .. 1, within its phase too.
    void showFraction(double fraction);
    void showDialog();
    void hideDialog();
    void done(std::shared_ptr<OpenedGraph> opened);
    void join();

    QWidget* m_parent;
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    QString m_running;  // the file being opened
    QString m_waiting;  // the file to open next, empty while none
    // Counts the openings started; what a thread posts after stop() gave up on it is ignored.
    unsigned m_generation = 0;
    qint64 m_started = 0;
    ShownRequest m_request;
    int m_phase = 0;
    double m_fraction = 0;
    QTimer* m_dialogTimer;
    QPointer<QProgressDialog> m_dialog;  // a child of the window, which may delete it first
};
