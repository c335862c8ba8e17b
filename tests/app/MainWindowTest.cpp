#include "BackgroundOpen.h"
#include "ColorChooser.h"
#include "GraphGenerator.h"
#include "GraphLoader.h"
#include "GraphStore.h"
#include "GraphicsMemory.h"
#include "MainWindow.h"
#include "RenderImplementation.h"
#include "RenderStates.h"
#include "Trace.h"
#include "VertexFinder.h"
#include "VertexMatchModel.h"

#include <QAbstractItemView>
#include <QCompleter>

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <fstream>
#include <functional>
#include <iostream>
#include <memory>

namespace {

const QString kData = QStringLiteral(RAMIFLEX_SOURCE_DIR "/data/");

void expectColor(const float* actual, float r, float g, float b, float a) {
    QCOMPARE(actual[0], r);
    QCOMPARE(actual[1], g);
    QCOMPARE(actual[2], b);
    QCOMPARE(actual[3], a);
}

bool shows(const ColorChooser* box, const float* rgba) {
    return box->color() == QColor::fromRgbF(rgba[0], rgba[1], rgba[2]);
}

// Every control whose value disagrees with the render states, by object name.
QStringList disagreements(const MainWindow& w) {
    const RenderStates& s = g_renderStates;
    const int view = s.viewType;
    const std::pair<const char*, bool> checks[] = {
        {"rb_rootedtree", w.rb_rootedtree->isChecked() == (view == 0)},
        {"rb_ballontree", w.rb_ballontree->isChecked() == (view == 1)},
        {"rb_treemap", w.rb_treemap->isChecked() == (view == 2 || view == 3)},
        {"radioButton_11", w.radioButton_11->isChecked() == (view == 4)},
        {"radioButton_9", w.radioButton_9->isChecked() == (s.stripTreemap == 0)},
        {"radioButton_10", w.radioButton_10->isChecked() == (s.stripTreemap == 1)},
        {"checkBox_8 enabled", w.checkBox_8->isEnabled() == (view >= 1 && view <= 3)},
        {"groupBox_7 enabled", w.groupBox_7->isEnabled() == (view == 2 || view == 3)},
        {"checkBox", w.checkBox->isChecked() == s.mode3D},
        {"checkBox_2", w.checkBox_2->isChecked() == bool(s.drawMask & 1)},
        {"checkBox_6", w.checkBox_6->isChecked() == bool(s.drawMask & 2)},
        {"checkBox_7", w.checkBox_7->isChecked() == bool(s.drawMask & 4)},
        {"checkBox_8", w.checkBox_8->isChecked() == bool(s.drawMask & 8)},
        {"horizontalSlider_7", w.horizontalSlider_7->value() == qRound(s.beta * 1000)},
        {"horizontalSlider", w.horizontalSlider->value() == s.rotationX},
        {"horizontalSlider_2", w.horizontalSlider_2->value() == s.rotationY},
        {"horizontalSlider_3", w.horizontalSlider_3->value() == s.rotationZ},
        {"horizontalSlider_4", w.horizontalSlider_4->value() == s.scale},
        {"checkBox_9", w.checkBox_9->isChecked() == s.cushion},
        {"groupBox_4", w.groupBox_4->isChecked() == s.blending},
        {"radioButton", w.radioButton->isChecked() == (s.blendMethod == 0)},
        {"radioButton_2", w.radioButton_2->isChecked() == (s.blendMethod == 1)},
        {"radioButton_6", w.radioButton_6->isChecked() == (s.blendMethod == 2)},
        {"radioButton_7", w.radioButton_7->isChecked() == (s.blendMethod == 3)},
        {"radioButton_8", w.radioButton_8->isChecked() == (s.blendMethod == 4)},
        {"groupBox_2", w.groupBox_2->isChecked() == s.lighting},
        {"radioButton_5", w.radioButton_5->isChecked() == (s.lightType == 0)},
        {"radioButton_4", w.radioButton_4->isChecked() == (s.lightType == 1)},
        {"radioButton_3", w.radioButton_3->isChecked() == (s.lightType == 2)},
        {"horizontalSlider_5", w.horizontalSlider_5->value() == s.lightRadius},
        {"horizontalSlider_6", w.horizontalSlider_6->value() == s.lightAttenuation},
        {"groupBox", w.groupBox->isChecked() == s.shadow},
        {"checkBox_3", w.checkBox_3->isChecked() == bool(s.shadowMask & 1)},
        {"checkBox_4", w.checkBox_4->isChecked() == bool(s.shadowMask & 2)},
        {"checkBox_5", w.checkBox_5->isChecked() == bool(s.shadowMask & 4)},
        {"checkBox_10", w.checkBox_10->isChecked() == bool(s.shadowMask & 8)},
        {"cb_color", shows(w.cb_color, s.vertexColor)},
        {"cb_hierarchyColor", shows(w.cb_hierarchyColor, s.hierarchyColor)},
        {"cb_relationStartColor", shows(w.cb_relationStartColor, s.relationStartColor)},
        {"cb_relationEndColor", shows(w.cb_relationEndColor, s.relationEndColor)},
        {"cb_selectionColor", shows(w.cb_selectionColor, s.selectionColor)},
        {"cb_outgoingEdgeColor",
         shows(w.findChild<ColorChooser*>("cb_outgoingEdgeColor"), s.outgoingEdgeColor)},
        {"cb_incomingEdgeColor",
         shows(w.findChild<ColorChooser*>("cb_incomingEdgeColor"), s.incomingEdgeColor)},
        {"horizontalSlider_8",
         w.horizontalSlider_8->value() == qRound(s.relationEndColor[3] * 100) &&
             s.relationStartColor[3] == s.relationEndColor[3]},
    };
    QStringList wrong;
    for (const auto& [name, agrees] : checks) {
        if (!agrees) wrong << name;
    }
    return wrong;
}

// Calls onShow as a widget of type W shows, before anything else the event loop has queued.
template <typename W>
class ShowWatcher : public QObject {
public:
    explicit ShowWatcher(std::function<void(W*)> onShow) : m_onShow(std::move(onShow)) {
        qApp->installEventFilter(this);
    }
    ~ShowWatcher() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* widget = qobject_cast<W*>(object)) m_onShow(widget);
        }
        return false;
    }

private:
    std::function<void(W*)> m_onShow;
};

// Accepts every message box that comes up while timer runs, keeping the text of the last in
// shown.
void acceptMessageBoxes(QTimer& timer, QString& shown) {
    QObject::connect(&timer, &QTimer::timeout, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    timer.start(50);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Remembered settings go to a folder of this run, not to the user's.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    }

    void init() {
        g_renderStates = RenderStates();
        m_window = std::make_unique<MainWindow>();
        QSignalSpy frames(m_window->openGLWidget, &QOpenGLWidget::frameSwapped);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QTRY_VERIFY(frames.count() > 0);
    }

    void cleanup() { m_window.reset(); }

    void everyControlShowsTheValueInForceAtStartAndAfterEachChange() {
        MainWindow& w = *m_window;
        QCOMPARE(disagreements(w), QStringList());
        // One user action per row; each must change the state and leave every control true.
        const std::pair<const char*, std::function<void()>> actions[] = {
            {"rooted tree", [&] { w.rb_rootedtree->click(); }},
            {"strips from the treemap group",
             [&] {
                 w.rb_treemap->click();
                 w.radioButton_10->click();
             }},
            {"balloon", [&] { w.rb_ballontree->click(); }},
            {"radial", [&] { w.radioButton_11->click(); }},
            {"treemap keeps its type", [&] { w.rb_treemap->click(); }},
            {"slice and dice", [&] { w.radioButton_9->click(); }},
            {"2D", [&] { w.checkBox->click(); }},
            {"no vertices", [&] { w.checkBox_2->click(); }},
            {"grid", [&] { w.checkBox_8->click(); }},
            {"cushion", [&] { w.checkBox_9->click(); }},
            {"beta by key", [&] { QTest::keyClick(w.horizontalSlider_7, Qt::Key_End); }},
            {"rotate by page step",
             [&] { w.horizontalSlider->triggerAction(QAbstractSlider::SliderPageStepAdd); }},
            {"scale by key", [&] { QTest::keyClick(w.horizontalSlider_4, Qt::Key_Right); }},
            {"summed average", [&] { w.radioButton_8->click(); }},
            {"conic light", [&] { w.radioButton_4->click(); }},
            {"spot light", [&] { w.radioButton_3->click(); }},
            {"radius by key", [&] { QTest::keyClick(w.horizontalSlider_5, Qt::Key_PageUp); }},
            {"attenuation", [&] { w.horizontalSlider_6->setValue(12); }},
            {"relation shadow", [&] { w.checkBox_5->click(); }},
            {"no shadow", [&] { w.groupBox->setChecked(false); }},
            {"alpha", [&] { w.horizontalSlider_8->setValue(65); }},
            {"colour",
             [&] {
                 w.cb_relationStartColor->setCurrentText("orange");
                 emit w.cb_relationStartColor->textActivated("orange");
             }},
        };
        for (const auto& [what, act] : actions) {
            const QByteArray before(reinterpret_cast<const char*>(&g_renderStates),
                                    sizeof(RenderStates));
            act();
            QVERIFY2(QByteArray(reinterpret_cast<const char*>(&g_renderStates),
                                sizeof(RenderStates)) != before,
                     what);
            QVERIFY2(disagreements(w).isEmpty(),
                     qPrintable(QString(what) + ": " + disagreements(w).join(", ")));
        }
        // Whatever the render states hold, showing them makes the controls agree.
        g_renderStates.viewType = 3;
        g_renderStates.stripTreemap = 1;
        g_renderStates.lightType = 2;
        g_renderStates.drawMask = 13;
        g_renderStates.relationEndColor[3] = g_renderStates.relationStartColor[3] = 1.5f;
        const float unnamed[4] = {0.1f, 0.2f, 0.3f, 1};
        std::copy(unnamed, unnamed + 4, g_renderStates.vertexColor);
        std::copy(unnamed, unnamed + 4, g_renderStates.incomingEdgeColor);
        w.showRenderStates();
        QCOMPARE(disagreements(w), QStringList());
    }

    void slidersActOnEveryKindOfInput() {
        MainWindow& w = *m_window;
        QSlider* beta = w.horizontalSlider_7;
        beta->setSliderDown(true);
        beta->setSliderPosition(800);  // beta follows the drag before the release
        QCOMPARE(g_renderStates.beta, 0.8f);
        beta->setSliderDown(false);
        QTest::keyClick(beta, Qt::Key_Left);
        QCOMPARE(g_renderStates.beta, 0.799f);
        QWheelEvent wheel(QPointF(5, 5), beta->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.horizontalSlider_4, &wheel);
        QVERIFY(g_renderStates.scale != 50);
        w.horizontalSlider_2->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(g_renderStates.rotationY, -w.horizontalSlider_2->pageStep());
    }

    void layoutButtonsChooseTheView() {
        MainWindow& w = *m_window;
        const std::pair<QAbstractButton*, int> clicks[] = {
            {w.rb_rootedtree, 0},  {w.rb_treemap, 2}, {w.radioButton_10, 3},
            {w.radioButton_11, 4}, {w.rb_treemap, 3}, {w.radioButton_9, 2},
            {w.rb_ballontree, 1}};
        for (auto [button, view] : clicks) {
            button->click();
            QCOMPARE(g_renderStates.viewType, view);
        }
    }

    void drawSwitchesAddAndSubtractTheirBits() {
        MainWindow& w = *m_window;
        w.checkBox_2->click();
        QCOMPARE(g_renderStates.drawMask, 6);
        w.checkBox_7->click();
        QCOMPARE(g_renderStates.drawMask, 2);
        w.checkBox_6->click();
        QCOMPARE(g_renderStates.drawMask, 0);
        w.rb_treemap->click();
        w.checkBox_8->click();
        QCOMPARE(g_renderStates.drawMask, 8);
        w.checkBox_2->click();
        QCOMPARE(g_renderStates.drawMask, 9);
    }

    void theWindowFitsASmallScreenAndNoLabelIsCut() {
        MainWindow& w = *m_window;
        QVERIFY(w.minimumSizeHint().width() <= 1366 && w.minimumSizeHint().height() <= 768);
        w.resize(1366, 700);
        QTest::qWait(50);
        QVERIFY(w.openGLWidget->width() > 800);
        for (int page = 0; page < w.tabWidget->count(); ++page) {
            w.tabWidget->setCurrentIndex(page);
            QTest::qWait(20);
            for (QWidget* widget : w.tabWidget->widget(page)->findChildren<QWidget*>()) {
                QString text;
                int room = widget->width();
                if (auto* label = qobject_cast<QLabel*>(widget)) {
                    text = label->text();
                    room = label->contentsRect().width();
                } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                    text = button->text();
                    // The indicator and its gap come before the text.
                    room -=
                        button->sizeHint().width() - button->fontMetrics().horizontalAdvance(text);
                }
                if (text.isEmpty()) continue;
                QVERIFY2(widget->fontMetrics().horizontalAdvance(text) <= room, qPrintable(text));
            }
        }
    }

    void renderingControlsWriteTheirFields() {
        MainWindow& w = *m_window;
        const std::pair<QRadioButton*, int> methods[] = {{w.radioButton_2, 1},
                                                         {w.radioButton_6, 2},
                                                         {w.radioButton_7, 3},
                                                         {w.radioButton_8, 4},
                                                         {w.radioButton, 0}};
        for (auto [button, method] : methods) {
            button->click();
            QCOMPARE(g_renderStates.blendMethod, method);
        }
        w.groupBox_4->setChecked(false);
        QVERIFY(!g_renderStates.blending);

        // The lighting group listens to clicks on its box, not to programmatic toggles.
        w.groupBox_2->setChecked(false);
        QVERIFY(g_renderStates.lighting);
        emit w.groupBox_2->clicked(false);
        QVERIFY(!g_renderStates.lighting);

        w.checkBox_3->click();
        w.checkBox_5->click();
        QCOMPARE(g_renderStates.shadowMask, 5);
        w.checkBox_3->click();
        w.checkBox_10->click();
        w.checkBox_4->click();
        QCOMPARE(g_renderStates.shadowMask, 14);
        w.groupBox->setChecked(false);
        QVERIFY(!g_renderStates.shadow);

        w.horizontalSlider_8->setValue(150);
        QCOMPARE(g_renderStates.relationStartColor[3], 1.5f);
        QCOMPARE(g_renderStates.relationEndColor[3], 1.5f);
    }

    void colourBoxesWriteTheirColours() {
        MainWindow& w = *m_window;
        emit w.cb_color->textActivated("red");
        expectColor(g_renderStates.vertexColor, 1, 0, 0, 1);
        emit w.cb_hierarchyColor->textActivated("blue");
        expectColor(g_renderStates.hierarchyColor, 0, 0, 1, 1);
        w.horizontalSlider_8->setValue(40);
        emit w.cb_relationStartColor->textActivated("green");
        expectColor(g_renderStates.relationStartColor, 0, 128 / 255.0f, 0, 0.4f);
        emit w.cb_relationEndColor->textActivated("white");
        expectColor(g_renderStates.relationEndColor, 1, 1, 1, 0.4f);
        emit w.cb_selectionColor->textActivated("yellow");
        expectColor(g_renderStates.selectionColor, 1, 1, 0, 1);
    }

    void opensBothFormatsAndKeepsTheGraphOnABadFile() {
        MainWindow& w = *m_window;
        QString error;
        QVERIFY2(w.openFile(kData + "tiny.xml", &error), qPrintable(error));
        GraphStore* first = w.graph();
        QCOMPARE(first->vertexCount(), size_t(4));
        QCOMPARE(g_graph, first);
        QVERIFY(w.view(4) != nullptr);

        QVERIFY2(w.openFile(kData + "tiny.rsf", &error), qPrintable(error));
        QVERIFY(w.graph() != first);
        QCOMPARE(w.graph()->relationEdgeCount(), size_t(2));
        GraphStore* second = w.graph();
        View* radial = w.view(4);

        const QString bad = QDir::temp().filePath("ramiflex_bad_graph.rsf");
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\"H\" \"0\" \"root\"\n\"PCR\" \"0\" \"7\"\n");
        file.close();
        QVERIFY(!w.openFile(bad, &error));
        QVERIFY2(error.contains("ramiflex_bad_graph.rsf") && error.contains("line 2"),
                 qPrintable(error));
        QCOMPARE(w.graph(), second);
        QCOMPARE(g_graph, second);
        QCOMPARE(w.view(4), radial);
        QTest::qWait(100);  // frames keep drawing the kept graph
    }

    void opensInTheBackgroundWhileTheWindowAnswers() {
        MainWindow& w = *m_window;
        // Large enough that opening it takes about a second here, long past the dialog's delay.
        const QString large = QDir(m_settingsDir.path()).filePath("large.rsf");
        {
            GeneratorParams params;
            params.vertices = 100'000;
            params.relations = 200'000;
            std::ofstream out(QFile::encodeName(large).toStdString());
            GraphGenerator(params).writeRsf(out);
        }
        // A small surface draws its frames quickly, so that the event loop answers promptly.
        w.openGLWidget->setFixedSize(320, 240);
        QString error;
        QVERIFY2(w.openFile(kData + "tiny.rsf", &error), qPrintable(error));
        GraphStore* const previous = w.graph();
        View* const radial = w.view(4);
        QSignalSpy finished(&w, &MainWindow::openFinished);
        BackgroundOpen& opener = *w.opener();
        // A trace line per record of the large file would swamp the log; set while no opening
        // runs, as the trace stream is no thread's to change during one.
        setTraceStream(nullptr);

        // The GUI thread's timer keeps ticking while the file is read and laid out.
        QElapsedTimer clock;
        qint64 last = 0, longestGap = 0;
        int ticksWhileOpening = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            if (opener.busy()) {
                ++ticksWhileOpening;
                longestGap = std::max(longestGap, now - last);
            }
            last = now;
        });
        clock.start();
        ticker.start(5);
        const QStringList phases = [] {
            QStringList names;
            for (int i = 0; i < GraphOpening::kPhaseCount; ++i) names << GraphOpening::phaseName(i);
            return names;
        }();
        // The dialog's Cancel is pressed as soon as it shows, ahead of an end the thread may
        // post meanwhile.
        QString label, title;
        int value = -1;
        bool shownWhileOpening = false;
        ShowWatcher<QProgressDialog> watcher([&](QProgressDialog* dialog) {
            if (!title.isEmpty()) return;  // only the first opening is cancelled
            label = dialog->labelText();
            title = dialog->windowTitle();
            value = dialog->value();
            shownWhileOpening = opener.busy() && w.graph() == previous;
            QMetaObject::invokeMethod(
                dialog, [dialog] { dialog->findChild<QPushButton*>()->click(); },
                Qt::QueuedConnection);
        });
        w.openInBackground(large);
        QVERIFY(opener.busy());
        QCOMPARE(w.graph(), previous);
        QTRY_VERIFY_WITH_TIMEOUT(!title.isEmpty(), 20000);
        QVERIFY(shownWhileOpening);
        QVERIFY2(phases.contains(label), qPrintable(label));
        QVERIFY(title.contains("large.rsf"));
        QVERIFY(value >= 0 && value < 100);
        QTRY_VERIFY_WITH_TIMEOUT(!opener.busy(), 20000);
        ticker.stop();
        qInfo("longest GUI-thread gap while opening: %lld ms over %d ticks", longestGap,
              ticksWhileOpening);
        // A frame of the kept graph stops the timer as long as it takes to draw; between frames
        // it ticks. An opening on the GUI thread would let it tick not once.
        QVERIFY2(ticksWhileOpening >= 2, qPrintable(QString::number(ticksWhileOpening)));
        QTest::qWait(50);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(w.graph(), previous);
        QCOMPARE(g_graph, previous);
        QCOMPARE(w.view(4), radial);
        QVERIFY(!opener.progressDialog()->isVisible());

        // A failing file shows its message and keeps the graph too.
        const QString bad = QDir(m_settingsDir.path()).filePath("bad.rsf");
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\"H\" \"0\" \"root\"\n\"PCR\" \"0\" \"7\"\n");
        file.close();
        QString shown;
        QTimer answer;
        acceptMessageBoxes(answer, shown);
        w.openInBackground(bad);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QTRY_VERIFY(!shown.isEmpty());
        QVERIFY2(shown.contains("bad.rsf") && shown.contains("line 2"), qPrintable(shown));
        QCOMPARE(finished.at(0).at(0).toString(), bad);
        QCOMPARE(finished.at(0).at(1).toString(), shown);
        QCOMPARE(w.graph(), previous);
        QCOMPARE(g_graph, previous);
        QCOMPARE(w.view(4), radial);

        // Of two quick opens the second ends on screen; the first is never shown.
        finished.clear();
        w.openInBackground(large);
        w.openInBackground(kData + "tiny.xml");
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QCOMPARE(finished.at(0).at(0).toString(), kData + "tiny.xml");
        QCOMPARE(finished.at(0).at(1).toString(), QString());
        QVERIFY(!opener.busy());
        QCOMPARE(w.graph()->vertexCount(), size_t(4));
        QCOMPARE(g_graph, w.graph());
        QCOMPARE(w.windowTitle(), QString("tiny.xml - Ramiflex"));
        QTest::qWait(100);
        QCOMPARE(finished.count(), 1);

        // An opening running when the window closes is stopped with it.
        w.openInBackground(large);
        QVERIFY(opener.busy());
        m_window.reset();
        setTraceStream(&std::cout);
    }

    void failedOpenAtStartUpShowsAMessageNamingTheProblem() {
        const struct {
            const char* file;
            bool refuseGraphicsMemory;
            const char* problem;
        } cases[] = {
            {"missing.xml", false, "missing.xml"},
            {"tiny.rsf", true, "ran out of memory"},
        };
        for (const auto& c : cases) {
            g_renderStates = RenderStates();
            m_window = std::make_unique<MainWindow>();
            QString shown;
            QTimer closer;
            acceptMessageBoxes(closer, shown);
            // The first curve buffer is left without memory, as a driver out of it would.
            if (c.refuseGraphicsMemory) GraphicsMemory::failNextAllocation();
            StartOptions options;
            options.file = kData + c.file;
            m_window->start(options);
            QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 10000);
            QVERIFY2(shown.contains(c.problem), qPrintable(shown));
            QCOMPARE(m_window->openGLWidget->lacksGraphicsMemory(), c.refuseGraphicsMemory);
            if (!c.refuseGraphicsMemory) QCOMPARE(m_window->graph(), nullptr);
        }
    }

    void aDesktopProgramsHabits() {
        MainWindow& w = *m_window;
        QString error;
        QVERIFY2(w.openFile(kData + "tiny.rsf", &error), qPrintable(error));
        QVERIFY2(w.openFile(kData + "ramiflex.xml", &error), qPrintable(error));
        QCOMPARE(w.windowTitle(), QString("ramiflex.xml - Ramiflex"));
        const QString status = w.statusbar->findChild<QLabel*>()->text();
        QVERIFY2(status.contains("ramiflex.xml: ") && status.contains(" vertices, ") &&
                     status.contains(" relation edges, depth ") && status.contains("opened in"),
                 qPrintable(status));
        // Recent files, newest first; the first entry opens its file.
        const QList<QAction*> recent = w.menuRecent->actions();
        QVERIFY(recent.size() >= 3);
        QVERIFY(recent[0]->text().endsWith("ramiflex.xml"));
        QVERIFY(recent[1]->text().endsWith("tiny.rsf"));
        recent[1]->trigger();
        QTRY_COMPARE(w.graph()->vertexCount(), size_t(4));

        // A file dropped on the window opens.
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(kData + "ramiflex.xml")});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        QTRY_VERIFY(w.graph()->vertexCount() > 4);

        // A screenshot name typed without a suffix is saved as PNG.
        const QString base = QDir(m_settingsDir.path()).filePath("shot");
        // The dialogs are modal: a timer answers them as they show.
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (!top->isVisible()) continue;
                if (auto* dialog = qobject_cast<QFileDialog*>(top)) {
                    // Typed as a user types it, without a suffix.
                    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
                    name->setText(base);
                    QTest::keyClick(name, Qt::Key_Return);
                } else if (auto* box = qobject_cast<QMessageBox*>(top)) {
                    box->accept();
                }
            }
        });
        answer.start(100);
        w.actionSave->trigger();
        QVERIFY(QImage(base + ".png").width() > 0);
        QCOMPARE(w.actionOpen->shortcut(), QKeySequence("Ctrl+O"));
        QCOMPARE(w.actionSteuerung->shortcut(), QKeySequence("F1"));
    }

    void colorsBlendingAndGeometryAreRememberedBetweenRuns() {
        m_window->start(StartOptions());
        m_window->radioButton_7->click();
        emit m_window->cb_relationEndColor->textActivated("orchid");
        m_window->resize(900, 650);
        m_window->close();
        m_window.reset();

        g_renderStates = RenderStates();
        MainWindow next;
        next.start(StartOptions());
        QCOMPARE(g_renderStates.blendMethod, 3);
        QVERIFY(next.radioButton_7->isChecked());
        QCOMPARE(next.cb_relationEndColor->currentText(), QString("orchid"));
        QCOMPARE(
            QColor::fromRgbF(g_renderStates.relationEndColor[0], g_renderStates.relationEndColor[1],
                             g_renderStates.relationEndColor[2]),
            QColor("orchid"));
        QCOMPARE(next.size(), QSize(900, 650));
        // Command-line pictures ignore what was remembered.
        g_renderStates = RenderStates();
        MainWindow picture;
        StartOptions options;
        options.file = kData + "tiny.xml";
        options.screenshot = QDir(m_settingsDir.path()).filePath("never.png");
        picture.start(options);  // its open is queued and dropped with the window
        QCOMPARE(g_renderStates.blendMethod, 0);
    }

    void findsVerticesByNameAndColoursTheirEdges() {
        MainWindow& w = *m_window;
        auto* finder = w.findChild<VertexFinder*>();
        QVERIFY(finder);
        const RenderImplementation& renderer = *w.openGLWidget->renderer();
        auto selectedId = [&]() -> int {
            const Selection& s = renderer.selection();
            return s.m_type == Selection::VERTEX ? int(s.m_vertex->getId()) : -1;
        };
        auto rows = [&] {
            QStringList texts;
            for (int r = 0; r < finder->matches()->rowCount(); ++r) {
                texts << finder->matches()->index(r).data().toString();
            }
            return texts;
        };
        QString error;
        QVERIFY2(w.openFile(kData + "tiny.xml", &error), qPrintable(error));
        QSignalSpy chosen(finder, &VertexFinder::vertexChosen);

        // Ctrl+F reaches the field from the drawing surface.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.openGLWidget->setFocus();
        QTRY_VERIFY(w.openGLWidget->hasFocus());
        QTest::keyClick(w.openGLWidget, Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(finder->hasFocus());

        // Completion while typing: names starting with the text, then those containing it.
        QTest::keyClicks(finder, "LE");
        QCOMPARE(rows(), QStringList({"leaf (3)", "left (1)"}));
        QTRY_VERIFY(finder->completer()->popup()->isVisible());
        QCOMPARE(finder->text(), QString("LE"));
        finder->clear();
        QTest::keyClicks(finder, "f");
        QCOMPARE(rows(), QStringList({"leaf (3)", "left (1)"}));
        finder->clear();
        QTest::keyClicks(finder, "r");
        QCOMPARE(rows(), QStringList({"right (2)", "root (0)"}));

        // Picking a listed row selects that vertex and colours its edges.
        QAbstractItemView* popup = finder->completer()->popup();
        QTRY_VERIFY(popup->isVisible());
        popup->setCurrentIndex(finder->completer()->completionModel()->index(0, 0));
        QTest::keyClick(popup, Qt::Key_Return);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(selectedId(), 2);
        QCOMPARE(renderer.overlayLine(3), std::string("In: 2  Out: 0"));

        // Enter on a whole name, in any case, chooses it; on text several names fit, lists them.
        const std::pair<QString, int> typed[] = {{"left", 1},      {"ROOT", 0}, {"lea", 3},
                                                 {"right (2)", 2}, {"e", -1},   {"xyz", -1}};
        for (const auto& [text, id] : typed) {
            chosen.clear();
            finder->clear();
            QTest::keyClicks(finder, text);
            finder->completer()->popup()->hide();
            QTest::keyClick(finder, Qt::Key_Return);
            QCOMPARE(chosen.count(), id >= 0 ? 1 : 0);
            if (id >= 0) {
                QCOMPARE(chosen.at(0).at(0).value<uint32_t>(), uint32_t(id));
                QCOMPARE(selectedId(), id);
            }
        }
        QCOMPARE(rows(), QStringList());  // "xyz" fits nothing
        finder->setText("e");
        QVERIFY(!finder->findText());
        QCOMPARE(rows(), QStringList({"leaf (3)", "left (1)"}));
        QCOMPARE(selectedId(), 2);  // listing chose nothing

        // The edge colours: two more boxes on the colour panel, starting on the render states'
        // colours and writing them.
        auto* outgoing = w.findChild<ColorChooser*>("cb_outgoingEdgeColor");
        auto* incoming = w.findChild<ColorChooser*>("cb_incomingEdgeColor");
        QVERIFY(outgoing && incoming);
        QCOMPARE(outgoing->currentText(), QString("orange"));
        QCOMPARE(incoming->currentText(), QString("cyan"));
        const float* startColors[] = {g_renderStates.outgoingEdgeColor,
                                      g_renderStates.incomingEdgeColor};
        for (int k = 0; k < 2; ++k) {
            const QColor shown = (k == 0 ? outgoing : incoming)->color();
            expectColor(startColors[k], shown.red() / 255.0f, shown.green() / 255.0f,
                        shown.blue() / 255.0f, 1);
        }
        QWidget* colorGroup = w.cb_selectionColor->parentWidget();
        for (ColorChooser* box : {outgoing, incoming}) {
            QCOMPARE(box->parentWidget(), colorGroup);
            QVERIFY(!box->isHidden());
            QVERIFY(colorGroup->layout()->indexOf(box) >= 0);
        }
        emit outgoing->textActivated("green");
        expectColor(g_renderStates.outgoingEdgeColor, 0, 128 / 255.0f, 0, 1);
        emit incoming->textActivated("magenta");
        expectColor(g_renderStates.incomingEdgeColor, 1, 0, 1, 1);

        // A new graph is searched afresh.
        QVERIFY2(w.openFile(kData + "tiny.rsf", &error), qPrintable(error));
        finder->clear();
        QTest::keyClicks(finder, "zzz");
        QCOMPARE(rows(), QStringList());
    }

    void overlayLinesStopAtThePicturesRightEdge() {
        // Glyphs of size 0.75 advance 5.55 units: from x = 5, 184 of them reach 1024.
        const std::string name = "Name: " + std::string(GraphLoader::kMaxNameBytes, 'n');
        const std::string shown = RenderImplementation::visibleText(name, 5, 0.75f);
        QCOMPARE(shown.size(), size_t(184));
        QCOMPARE(shown, name.substr(0, 184));
        QCOMPARE(RenderImplementation::visibleText("Type: Vertex", 5, 0.75f),
                 std::string("Type: Vertex"));
        QCOMPARE(RenderImplementation::visibleText("12345", 960, 1.8f), std::string("12345"));
        QCOMPARE(RenderImplementation::visibleText("1234567", 960, 1.8f), std::string("12345"));
    }

private:
    QTemporaryDir m_settingsDir;
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
