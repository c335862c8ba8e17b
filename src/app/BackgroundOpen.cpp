#include "BackgroundOpen.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>

#include <limits>

BackgroundOpen::BackgroundOpen(QWidget* parent)
    : QObject(parent), m_parent(parent), m_dialogTimer(new QTimer(this)) {
    m_dialogTimer->setSingleShot(true);
    connect(m_dialogTimer, &QTimer::timeout, this, &BackgroundOpen::showDialog);
}

BackgroundOpen::~BackgroundOpen() { stop(); }

void BackgroundOpen::open(const QString& fileName) {
    m_waiting = fileName;
    if (busy()) {
        // The running opening stops at its next phase; done() then starts this one.
        m_cancel = true;
        return;
    }
    startNext();
}

void BackgroundOpen::cancel() {
    m_waiting.clear();
    if (busy()) m_cancel = true;
}

void BackgroundOpen::stop() {
    cancel();
    join();
    m_running.clear();
    hideDialog();
}

void BackgroundOpen::hideDialog() {
    m_dialogTimer->stop();
    if (!m_dialog) return;
    m_dialog->hide();
    // Also stops the dialog's own timer, which would show it again.
    m_dialog->reset();
}

void BackgroundOpen::join() {
    if (m_thread.joinable()) m_thread.join();
}

void BackgroundOpen::startNext() {
    m_running = m_waiting;
    m_waiting.clear();
    m_cancel = false;
    const unsigned generation = ++m_generation;
    m_started = QDateTime::currentMSecsSinceEpoch();
    m_phase = 0;
    m_fraction = 0;
    if (m_dialog) showPhase(0);
    if (!m_dialog || !m_dialog->isVisible()) m_dialogTimer->start(kDialogDelay);
    const std::string file = QFile::encodeName(m_running).toStdString();
    // Each posted call runs on the GUI thread; the destructor joins the thread before this
    // object goes, and calls still queued then go with it.
    m_thread = std::thread([this, file, generation, request = m_request] {
        auto carryOn = [this, generation](int phase) {
            if (m_cancel) return false;
            QMetaObject::invokeMethod(
                this,
                [this, phase, generation] {
                    if (generation == m_generation) showPhase(phase);
                },
                Qt::QueuedConnection);
            return true;
        };
        // The bar moves within a phase too, by tenths of a per cent at most.
        auto progress = [this, generation](double fraction) {
            QMetaObject::invokeMethod(
                this,
                [this, fraction, generation] {
                    if (generation == m_generation) showFraction(fraction);
                },
                Qt::QueuedConnection);
        };
        auto opened = std::make_shared<OpenedGraph>(
            GraphOpening::open(file, carryOn, &m_cancel, progress, &request));
        // A graph nobody will see is freed here rather than on the GUI thread.
        if (m_cancel) opened = std::make_shared<OpenedGraph>();
        QMetaObject::invokeMethod(
            this,
            [this, opened, generation] {
                if (generation == m_generation && busy()) done(opened);
            },
            Qt::QueuedConnection);
    });
}

void BackgroundOpen::showPhase(int phase) {
    m_phase = phase;
    m_fraction = GraphOpening::fractionAt(phase);
    if (!m_dialog) return;
    m_dialog->setWindowTitle(tr("Opening %1").arg(QFileInfo(m_running).fileName()));
    m_dialog->setLabelText(GraphOpening::phaseName(phase));
    m_dialog->setValue(qRound(m_fraction * 100));
}

void BackgroundOpen::showFraction(double fraction) {
    // A report posted before its phase's start was shown would move the bar back.
    if (fraction <= m_fraction) return;
    m_fraction = fraction;
    if (m_dialog) m_dialog->setValue(qRound(fraction * 100));
}

void BackgroundOpen::showDialog() {
    if (!m_dialog) {
        m_dialog = new QProgressDialog(m_parent);
        m_dialog->setObjectName("openProgress");
        // Not modal: the window stays usable, and a modal progress dialog would process events
        // inside every setValue.
        m_dialog->setWindowModality(Qt::NonModal);
        m_dialog->setRange(0, 100);
        // Shown and hidden here only: QProgressDialog's own timing would show it at will.
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setMinimumDuration(std::numeric_limits<int>::max());
        connect(m_dialog, &QProgressDialog::canceled, this, &BackgroundOpen::cancel);
    }
    m_dialog->reset();
    const double fraction = m_fraction;
    showPhase(m_phase);
    showFraction(fraction);
    m_dialog->show();
}

void BackgroundOpen::done(std::shared_ptr<OpenedGraph> opened) {
    join();
    const bool cancelled = m_cancel || opened->cancelled;
    const QString file = m_running;
    m_running.clear();
    if (!m_waiting.isEmpty()) {
        startNext();
        return;
    }
    hideDialog();
    if (cancelled) return;
    emit finished(file, std::move(opened), QDateTime::currentMSecsSinceEpoch() - m_started);
}
