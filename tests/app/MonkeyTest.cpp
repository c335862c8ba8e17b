// A monkey at the keyboard and mouse: thousands of random user actions on the main window, with
// good and bad files opened in between. Nothing may crash or hang, and afterwards the surface
// must still draw the graph.
//
// RAMIFLEX_MONKEY_SEED and RAMIFLEX_MONKEY_ACTIONS override the seed and the number of actions;
// RAMIFLEX_MONKEY_VERBOSE=1 prints every action, to find the one that broke a run.
#include "ColorChooser.h"
#include "GraphGenerator.h"
#include "GraphStore.h"
#include "CurrentFrame.h"
#include "MainWindow.h"
#include "RenderStates.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>

namespace {

const QString kData = QStringLiteral(RAMIFLEX_SOURCE_DIR "/data/");
constexpr quint64 kDefaultSeed = 20240611;
constexpr int kDefaultActions = 2000;
constexpr int kWatchdogSeconds = 30;

quint64 environmentNumber(const char* name, quint64 fallback) {
    bool ok = false;
    const quint64 value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : fallback;
}

// Fails the run when one action takes longer than the limit. The GUI thread is the one that
// hangs, so the check runs on a thread of its own and can only end the process.
class Watchdog {
public:
    explicit Watchdog(int seconds, quint64 seed) : m_limit(seconds), m_seed(seed) {
        m_thread = std::thread([this] { watch(); });
    }
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    void begin(int index, const std::string& what) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_index = index;
        m_what = what;
        m_started = std::chrono::steady_clock::now();
        m_busy = true;
    }
    void end() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_busy = false;
    }

private:
    void watch() {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop) {
            m_wake.wait_for(lock, std::chrono::milliseconds(500));
            if (m_busy && std::chrono::steady_clock::now() - m_started > m_limit) {
                std::fprintf(stderr,
                             "FAIL: monkey action %d (%s) has run for more than %d s (seed %llu)\n",
                             m_index, m_what.c_str(), static_cast<int>(m_limit.count()),
                             static_cast<unsigned long long>(m_seed));
                std::fflush(stderr);
                std::abort();
            }
        }
    }

    std::chrono::seconds m_limit;
    quint64 m_seed;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_busy = false;
    int m_index = 0;
    std::string m_what;
    std::chrono::steady_clock::time_point m_started;
};

enum class Outcome { Opens, Refused, Either };

struct DataFile {
    QString path;
    Outcome outcome;
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

void writeGenerated(const QString& path, const GeneratorParams& params) {
    std::ofstream out(QFile::encodeName(path).toStdString());
    GraphGenerator graph(params);
    if (path.endsWith(".xml"))
        graph.writeXml(out);
    else
        graph.writeRsf(out);
}

// The protected style option of a group box, for the place of its check indicator.
struct GroupBoxAccess : QGroupBox {
    using QGroupBox::initStyleOption;
};

struct CheckBoxAccess : QCheckBox {
    using QCheckBox::initStyleOption;
};

struct RadioButtonAccess : QRadioButton {
    using QRadioButton::initStyleOption;
};

// The part of a check box or radio button that takes a click: indicator and text. A click
// elsewhere in the widget's rectangle does nothing.
QRect clickArea(QAbstractButton* button) {
    QStyleOptionButton option;
    QStyle::SubElement element = QStyle::SE_CheckBoxClickRect;
    if (auto* box = qobject_cast<QCheckBox*>(button)) {
        (box->*&CheckBoxAccess::initStyleOption)(&option);
    } else if (auto* radio = qobject_cast<QRadioButton*>(button)) {
        (radio->*&RadioButtonAccess::initStyleOption)(&option);
        element = QStyle::SE_RadioButtonClickRect;
    } else {
        return button->rect();
    }
    return button->style()->subElementRect(element, &option, button);
}

QPoint checkIndicator(QGroupBox* box) {
    QStyleOptionGroupBox option;
    (box->*&GroupBoxAccess::initStyleOption)(&option);
    return box->style()
        ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxCheckBox, box)
        .center();
}

// Pixels that differ from black below the overlay text.
int litPixels(const QImage& image) {
    int lit = 0;
    for (int y = 110; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) > 20) ++lit;
        }
    }
    return lit;
}

}  // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_seed = environmentNumber("RAMIFLEX_MONKEY_SEED", kDefaultSeed);
        m_actions = static_cast<int>(environmentNumber("RAMIFLEX_MONKEY_ACTIONS", kDefaultActions));
        m_verbose = qEnvironmentVariableIntValue("RAMIFLEX_MONKEY_VERBOSE") != 0;
        std::printf(
            "monkey seed %llu, %d actions (RAMIFLEX_MONKEY_SEED, RAMIFLEX_MONKEY_ACTIONS)\n",
            static_cast<unsigned long long>(m_seed), m_actions);
        std::fflush(stdout);
        m_random.seed(m_seed);
        QVERIFY(m_dir.isValid());
        writeDataFiles();
    }

    void init() {
        g_renderStates = RenderStates();
        m_window = std::make_unique<MainWindow>();
        m_frames = 0;
        connect(m_window->openGLWidget, &QOpenGLWidget::frameSwapped, this, [this] { ++m_frames; });
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QVERIFY(waitForCurrentFrame());
    }

    void cleanup() { m_window.reset(); }

    void randomUserActionsNeitherCrashNorHang() {
        Watchdog watchdog(kWatchdogSeconds, m_seed);
        const std::vector<Action> actions = actionTable();
        int totalWeight = 0;
        for (const Action& action : actions) totalWeight += action.weight;

        QElapsedTimer clock;
        clock.start();
        int untilFrame = 1;
        for (int i = 0; i < m_actions; ++i) {
            int pick = below(totalWeight);
            size_t a = 0;
            while (pick >= actions[a].weight) pick -= actions[a++].weight;
            m_what = actions[a].name;
            watchdog.begin(i, m_what);
            const int framesBefore = m_frames;
            actions[a].run();
            if (m_verbose) std::printf("monkey %d: %s\n", i, m_what.c_str());
            checkControlsMatchTheRenderStates();
            // A failed check inside an action has already recorded the failure.
            if (QTest::currentTestFailed()) {
                qWarning("monkey action %d (%s) failed, seed %llu", i, m_what.c_str(),
                         static_cast<unsigned long long>(m_seed));
                return;
            }
            // Frames are slow on a software renderer. Clicks on controls repaint the window and
            // so draw one; otherwise one is drawn after one to five actions, so that some
            // changes meet in one frame and some do not.
            if (m_frames != framesBefore) {
                untilFrame = 1 + below(5);
            } else if (--untilFrame <= 0) {
                QVERIFY2(waitForCurrentFrame(), m_what.c_str());
                untilFrame = 1 + below(5);
            }
            watchdog.end();
        }
        std::printf("monkey: %d actions, %d opens, %d refused opens, %d frames in %.1f s\n",
                    m_actions, m_opens, m_refusals, m_frames, clock.elapsed() / 1000.0);

        watchdog.begin(m_actions, "final picture");
        checkTheSurfaceStillDrawsTheGraph();
        watchdog.end();
    }

private:
    struct Action {
        int weight;
        const char* name;
        std::function<void()> run;
    };

    int below(int n) { return n <= 1 ? 0 : static_cast<int>(m_random() % static_cast<quint64>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T>
    T* anyOf(const QList<T*>& list) {
        return list.isEmpty() ? nullptr : list[below(static_cast<int>(list.size()))];
    }

    // The controls a user can reach now: shown on the current page and enabled.
    template <typename T>
    QList<T*> reachable() {
        QList<T*> result;
        for (T* widget : m_window->findChildren<T*>()) {
            if (widget->isVisible() && widget->isEnabled()) result.append(widget);
        }
        return result;
    }

    void click(QAbstractButton* button) {
        const QRect area = clickArea(button);
        const QPoint at(area.left() + below(area.width()), area.top() + below(area.height()));
        sendClick(button, at);
    }

    bool waitForCurrentFrame() { return ::waitForCurrentFrame(*m_window->openGLWidget); }

    QPointF surfacePoint() {
        // Mostly on the picture, sometimes beyond its edges.
        if (chance(10)) return QPointF(below(1300) - 150, below(1000) - 120);
        return QPointF(below(1024), below(768));
    }

    // Input goes straight to the widget: the test's own input helpers spin the event loop after
    // every event, and every spin draws a frame, which on a software renderer would make the
    // frames, not the actions, the bulk of the run.
    static void sendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
                          Qt::MouseButtons held, Qt::KeyboardModifiers modifiers = {}) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, modifiers);
        QApplication::sendEvent(widget, &event);
    }

    void sendMouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
                   Qt::KeyboardModifiers modifiers) {
        sendMouse(m_window->openGLWidget, type, at, button, held, modifiers);
    }

    static void sendClick(QWidget* widget, QPoint at) {
        sendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        sendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }

    static void sendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers);
        QApplication::sendEvent(widget, &release);
    }

    // Press, a few moves and a release, with the modifiers held throughout.
    void drag(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
              const std::function<void()>& midway = {}) {
        const Qt::MouseButton first = buttons & Qt::LeftButton ? Qt::LeftButton : Qt::RightButton;
        QPointF at = surfacePoint();
        sendMouse(QEvent::MouseButtonPress, at, first, buttons, modifiers);
        const int moves = 1 + below(8);
        for (int m = 0; m < moves; ++m) {
            if (chance(70)) {
                at += QPointF(below(121) - 60, below(121) - 60);
            } else {
                at = surfacePoint();
            }
            sendMouse(QEvent::MouseMove, at, Qt::NoButton, buttons, modifiers);
            if (midway && m == moves / 2) midway();
        }
        sendMouse(QEvent::MouseButtonRelease, at, first, buttons & ~Qt::MouseButtons(first),
                  modifiers);
    }

    void openAny(const std::vector<DataFile>& files) {
        const DataFile& file = files[below(static_cast<int>(files.size()))];
        m_what += " " + QFileInfo(file.path).fileName().toStdString();
        GraphStore* before = m_window->graph();
        QString error;
        const bool opened = m_window->openFile(file.path, &error);
        if (opened) {
            ++m_opens;
            QVERIFY2(file.outcome != Outcome::Refused, qPrintable(file.path));
            QVERIFY(m_window->graph() != nullptr);
            QCOMPARE(g_graph, m_window->graph());
        } else {
            ++m_refusals;
            QVERIFY2(file.outcome != Outcome::Opens, qPrintable(error));
            QVERIFY2(error.contains(QFileInfo(file.path).fileName()), qPrintable(error));
            QCOMPARE(m_window->graph(), before);
        }
    }

    std::vector<Action> actionTable() {
        MainWindow& w = *m_window;
        std::vector<Action> table;
        table.push_back({10, "click a radio button", [this] {
                             if (QRadioButton* b = anyOf(reachable<QRadioButton>())) {
                                 m_what += " " + b->objectName().toStdString();
                                 click(b);
                             }
                         }});
        table.push_back({8, "click a check box", [this] {
                             if (QCheckBox* b = anyOf(reachable<QCheckBox>())) {
                                 m_what += " " + b->objectName().toStdString();
                                 click(b);
                             }
                         }});
        table.push_back({4, "click a group box check", [this] {
                             QList<QGroupBox*> boxes;
                             for (QGroupBox* b : reachable<QGroupBox>()) {
                                 if (b->isCheckable()) boxes.append(b);
                             }
                             if (QGroupBox* b = anyOf(boxes)) {
                                 m_what += " " + b->objectName().toStdString();
                                 sendClick(b, checkIndicator(b));
                             }
                         }});
        table.push_back(
            {8, "drag a slider", [this] {
                 QSlider* s = anyOf(reachable<QSlider>());
                 if (!s) return;
                 m_what += " " + s->objectName().toStdString();
                 if (chance(50)) {
                     // Held down, moved to a few places, let go.
                     s->setSliderDown(true);
                     for (int k = below(4); k >= 0; --k) {
                         s->setSliderPosition(s->minimum() +
                                              below(s->maximum() - s->minimum() + 1));
                         QCoreApplication::processEvents();
                     }
                     s->setSliderDown(false);
                 } else {
                     const int y = s->height() / 2;
                     const QPoint from(below(s->width()), y), to(below(s->width()), y);
                     sendMouse(s, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
                     sendMouse(s, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
                     sendMouse(s, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
                 }
             }});
        table.push_back({5, "choose a colour", [this] {
                             ColorChooser* box = anyOf(reachable<ColorChooser>());
                             if (!box) return;
                             m_what += " " + box->objectName().toStdString();
                             if (chance(30)) {
                                 box->setFocus();
                                 const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home,
                                                         Qt::Key_End, Qt::Key_PageDown};
                                 sendKey(box, keys[below(5)], Qt::NoModifier);
                             } else {
                                 const int index = below(box->count());
                                 box->setCurrentIndex(index);
                                 m_what += " " + box->itemText(index).toStdString();
                                 emit box->textActivated(box->itemText(index));
                             }
                         }});
        table.push_back({4, "switch the tab", [&w] {
                             QTabBar* bar = w.tabWidget->tabBar();
                             const int other = 1 - w.tabWidget->currentIndex();
                             sendClick(bar, bar->tabRect(other).center());
                         }});
        table.push_back({4, "switch the view", [this, &w] {
                             QRadioButton* views[] = {w.rb_rootedtree, w.rb_ballontree,
                                                      w.rb_treemap,    w.radioButton_11,
                                                      w.radioButton_9, w.radioButton_10};
                             QRadioButton* b = views[below(6)];
                             m_what += " " + b->objectName().toStdString();
                             w.tabWidget->setCurrentIndex(0);
                             click(b);
                         }});
        table.push_back({3, "switch the blending method", [this, &w] {
                             QRadioButton* methods[] = {w.radioButton, w.radioButton_2,
                                                        w.radioButton_6, w.radioButton_7,
                                                        w.radioButton_8};
                             QRadioButton* b = methods[below(5)];
                             m_what += " " + b->objectName().toStdString();
                             w.tabWidget->setCurrentIndex(1);
                             if (!w.groupBox_4->isChecked()) {
                                 sendClick(w.groupBox_4, checkIndicator(w.groupBox_4));
                             }
                             click(b);
                         }});
        table.push_back({12, "ALT drag", [this] {
                             const Qt::MouseButtons buttons[] = {Qt::LeftButton, Qt::RightButton,
                                                                 Qt::LeftButton | Qt::RightButton,
                                                                 Qt::MiddleButton};
                             const int b = below(100) < 45 ? 0 : below(100) < 80 ? 1 : below(4);
                             m_what += " buttons " + std::to_string(buttons[b].toInt());
                             drag(buttons[b], Qt::AltModifier);
                         }});
        table.push_back({8, "key", [this] {
                             const Qt::Key lightKeys[] = {Qt::Key_W, Qt::Key_A, Qt::Key_S,
                                                          Qt::Key_D, Qt::Key_R, Qt::Key_F};
                             const Qt::Key otherKeys[] = {
                                 Qt::Key_Q,  Qt::Key_Escape, Qt::Key_Space, Qt::Key_Up,
                                 Qt::Key_F1, Qt::Key_Tab,    Qt::Key_Return};
                             QWidget* surface = m_window->openGLWidget;
                             const int kind = below(10);
                             Qt::Key key = lightKeys[below(6)];
                             Qt::KeyboardModifiers modifiers = Qt::AltModifier;
                             if (kind == 7) modifiers |= Qt::ShiftModifier;
                             if (kind == 8) modifiers = Qt::NoModifier;
                             if (kind == 9) key = otherKeys[below(7)];
                             m_what += " " + std::to_string(key) + " modifiers " +
                                       std::to_string(modifiers.toInt());
                             // Held keys repeat.
                             for (int k = chance(20) ? below(20) : 0; k >= 0; --k) {
                                 sendKey(surface, key, modifiers);
                             }
                         }});
        table.push_back({10, "pick drag", [this] {
                             drag(chance(80) ? Qt::LeftButton : Qt::RightButton, Qt::NoModifier);
                         }});
        table.push_back({4, "open a good file", [this] { openAny(m_goodFiles); }});
        table.push_back({3, "open a bad file", [this] { openAny(m_badFiles); }});
        table.push_back({1, "open while dragging", [this] {
                             drag(Qt::LeftButton, chance(50) ? Qt::AltModifier : Qt::NoModifier,
                                  [this] { openAny(chance(70) ? m_goodFiles : m_badFiles); });
                         }});
        table.push_back({1, "screenshot", [this, &w] {
                             const QString path = m_dir.filePath(
                                 QString("screenshot%1.png").arg(m_screenshots++ % 3));
                             const QImage image = w.openGLWidget->grabFramebuffer();
                             QCOMPARE(image.size(),
                                      w.openGLWidget->size() * w.openGLWidget->devicePixelRatio());
                             QVERIFY(image.save(path));
                         }});
        table.push_back({1, "help box", [this, &w] {
                             // The box is modal; close it once it shows.
                             QTimer closer;
                             connect(&closer, &QTimer::timeout, [] {
                                 if (QWidget* box = QApplication::activeModalWidget()) box->close();
                             });
                             closer.start(30);
                             (chance(50) ? w.actionAbout : w.actionSteuerung)->trigger();
                         }});
        table.push_back(
            {2, "wait for the current frame", [this] { QVERIFY(waitForCurrentFrame()); }});
        return table;
    }

    void writeDataFiles() {
        const QString d = m_dir.path() + "/";
        auto good = [&](const QString& path) { m_goodFiles.push_back({path, Outcome::Opens}); };
        auto bad = [&](const QString& name, const QByteArray& bytes) {
            writeFile(d + name, bytes);
            m_badFiles.push_back({d + name, Outcome::Refused});
        };
        for (const char* name : {"tiny.xml", "tiny.rsf", "ramiflex.xml", "ramiflex.rsf"}) {
            good(kData + name);
        }

        GeneratorParams small;
        small.vertices = 300;
        small.relations = 400;
        small.seed = m_seed;
        writeGenerated(d + "small.rsf", small);
        good(d + "small.rsf");
        GeneratorParams medium = small;
        medium.vertices = 2000;
        medium.relations = 800;
        medium.maxDepth = 12;
        medium.shuffleIds = true;
        writeGenerated(d + "medium.xml", medium);
        good(d + "medium.xml");
        GeneratorParams chain = small;
        chain.vertices = 600;
        chain.fanOut = 1;
        chain.maxDepth = 1000;
        chain.relations = 50;
        writeGenerated(d + "chain.rsf", chain);
        good(d + "chain.rsf");
        GeneratorParams star = small;
        star.vertices = 1500;
        star.fanOut = 5000;
        star.maxDepth = 1;
        writeGenerated(d + "star.xml", star);
        good(d + "star.xml");

        writeFile(d + "single.rsf", "\"H\" \"0\" \"alone\"\n");
        good(d + "single.rsf");
        writeFile(d + "loops.rsf",
                  "\"Root\" \"0\"\n\"H\" \"0\" \"root\"\n\"H\" \"1\" \"a\"\n\"H\" \"2\" \"b\"\n"
                  "\"PCR\" \"0\" \"1\"\n\"PCR\" \"1\" \"2\"\n\"R\" \"2\" \"2\"\n\"R\" \"0\" \"0\"\n"
                  "\"R\" \"1\" \"2\"\n\"R\" \"1\" \"2\"\n\"R\" \"2\" \"0\"\n");
        good(d + "loops.rsf");
        QByteArray names = "\"H\" \"0\" \"" + QByteArray(300, 'n') +
                           "\"\n\"H\" \"1\" \"\xc3\xa4\xff\x01\"\n"
                           "\"PCR\" \"0\" \"1\"\n\"R\" \"1\" \"0\"\n";
        writeFile(d + "names.rsf", names);
        good(d + "names.rsf");
        QByteArray nested = "<Root root_id=\"0\">";
        for (int k = 0; k < 1500; ++k) nested += "<g>";
        nested +=
            "<Node id=\"0\" name=\"r\"/><Node id=\"1\" name=\"c\"/>"
            "<HierarchyEdge start=\"0\" end=\"1\"/><RelationEdge start=\"1\" end=\"1\"/>";
        for (int k = 0; k < 1500; ++k) nested += "</g>";
        writeFile(d + "nested.xml", nested + "</Root>\n");
        good(d + "nested.xml");

        m_badFiles.push_back({d + "missing.xml", Outcome::Refused});
        m_badFiles.push_back({d + "missing.rsf", Outcome::Refused});
        QDir(d).mkdir("folder.xml");
        m_badFiles.push_back({d + "folder.xml", Outcome::Refused});
        bad("empty.xml", "");
        bad("empty.rsf", "");
        bad("malformed.xml", "<Root root_id=\"0\"><Node id=\"0\" name=\"a\"><Node id=");
        bad("text.xml", "just some words, no elements at all\n");
        QByteArray deep;
        for (int k = 0; k < 5000; ++k) deep += "<d>";
        bad("deep.xml", deep);
        bad("undeclared.rsf", "\"H\" \"0\" \"root\"\n\"PCR\" \"0\" \"7\"\n");
        bad("undeclared.xml",
            "<Root root_id=\"0\"><Node id=\"0\" name=\"a\"/>"
            "<RelationEdge start=\"0\" end=\"3\"/></Root>");
        bad("cycle.rsf",
            "\"Root\" \"0\"\n\"H\" \"0\" \"r\"\n\"H\" \"1\" \"a\"\n\"H\" \"2\" \"b\"\n"
            "\"PCR\" \"0\" \"1\"\n\"PCR\" \"2\" \"1\"\n\"PCR\" \"1\" \"2\"\n");
        bad("rootchild.rsf", "\"H\" \"0\" \"r\"\n\"H\" \"1\" \"a\"\n\"PCR\" \"1\" \"0\"\n");
        bad("overflow.rsf", "\"H\" \"0\" \"r\"\n\"H\" \"1\" \"a\"\n\"PCR\" \"0\" \"4294967296\"\n");
        bad("hugeid.rsf", "\"H\" \"99999999999999999999\" \"r\"\n");
        bad("negative.rsf", "\"H\" \"-1\" \"r\"\n");
        bad("gap.rsf", "\"H\" \"0\" \"r\"\n\"H\" \"2\" \"a\"\n\"PCR\" \"0\" \"2\"\n");
        bad("noroot.rsf", "\"Root\" \"5\"\n\"H\" \"0\" \"r\"\n");
        bad("unreachable.rsf", "\"H\" \"0\" \"r\"\n\"H\" \"1\" \"a\"\n");
        bad("short.rsf", "\"H\" \"0\" \"r\"\n\"R\" \"0\"\n");
        bad("binary.rsf", QByteArray("\x00\x01\x02\xff\"\"\"", 7));
        // Numbers past 32 bits in XML are read the way the parser reads them; whatever the
        // loader decides, it must decide without crashing.
        writeFile(d + "overflow.xml",
                  "<Root root_id=\"0\"><Node id=\"0\" name=\"a\"/><Node id=\"4294967297\" "
                  "name=\"b\"/><HierarchyEdge start=\"0\" end=\"99999999999\"/></Root>");
        m_badFiles.push_back({d + "overflow.xml", Outcome::Either});
    }

    // The switches add and subtract bits on every change, so a missed or doubled signal would
    // leave state and control apart for good.
    void checkControlsMatchTheRenderStates() {
        const MainWindow& w = *m_window;
        const RenderStates& s = g_renderStates;
        auto bits = [](std::initializer_list<const QCheckBox*> boxes) {
            int mask = 0, bit = 1;
            for (const QCheckBox* box : boxes) {
                if (box->isChecked()) mask |= bit;
                bit <<= 1;
            }
            return mask;
        };
        QCOMPARE(s.mode3D, w.checkBox->isChecked());
        QCOMPARE(s.drawMask, bits({w.checkBox_2, w.checkBox_6, w.checkBox_7, w.checkBox_8}));
        QCOMPARE(s.shadowMask, bits({w.checkBox_3, w.checkBox_4, w.checkBox_5, w.checkBox_10}));
        QCOMPARE(s.cushion, w.checkBox_9->isChecked());
        QCOMPARE(s.blending, w.groupBox_4->isChecked());
        QCOMPARE(s.lighting, w.groupBox_2->isChecked());
        QCOMPARE(s.shadow, w.groupBox->isChecked());
    }

    void checkTheSurfaceStillDrawsTheGraph() {
        MainWindow& w = *m_window;
        // Put the controls where the graph shows: 2D top view of the radial tree, every element
        // drawn in light colours, no rotation, the camera where it started.
        w.tabWidget->setCurrentIndex(0);
        if (w.checkBox->isChecked()) click(w.checkBox);
        QVERIFY(!w.checkBox->isChecked());
        click(w.radioButton_11);
        for (QCheckBox* box : {w.checkBox_2, w.checkBox_6, w.checkBox_7}) {
            if (!box->isChecked()) click(box);
        }
        for (QSlider* slider : {w.horizontalSlider, w.horizontalSlider_2, w.horizontalSlider_3}) {
            slider->setSliderDown(true);
            slider->setSliderPosition(0);
            slider->setSliderDown(false);
        }
        w.horizontalSlider_4->setSliderDown(true);
        w.horizontalSlider_4->setSliderPosition(50);
        w.horizontalSlider_4->setSliderDown(false);
        w.tabWidget->setCurrentIndex(1);
        w.horizontalSlider_8->setValue(100);
        emit w.cb_color->textActivated("white");
        emit w.cb_hierarchyColor->textActivated("white");
        Camera* camera = w.openGLWidget->orthoCamera();
        *camera = Camera(-1.0f, 1.0f, -0.75f, 0.75f, 0.0f, 50.0f);
        camera->lookAt({0, -1, 0}, {0, 0, 0}, {0, 0, 1});

        QString error;
        QVERIFY2(w.openFile(kData + "ramiflex.xml", &error), qPrintable(error));
        QVERIFY(waitForCurrentFrame());
        QCOMPARE(g_renderStates.viewType, 4);
        QVERIFY2(!g_renderStates.mode3D,
                 qPrintable(QString("3D box %1 visible %2 enabled %3 modal %4")
                                .arg(w.checkBox->isChecked())
                                .arg(w.checkBox->isVisible())
                                .arg(w.checkBox->isEnabled())
                                .arg(QApplication::activeModalWidget() != nullptr)));
        const QImage image = w.openGLWidget->grabFramebuffer();
        const int lit = litPixels(image);
        if (lit < 500) image.save(m_dir.filePath("final.png"));
        QVERIFY2(lit >= 500, qPrintable(QString("only %1 lit pixels").arg(lit)));
    }

    quint64 m_seed = kDefaultSeed;
    int m_actions = kDefaultActions;
    bool m_verbose = false;
    std::mt19937_64 m_random;
    QTemporaryDir m_dir;
    std::vector<DataFile> m_goodFiles, m_badFiles;
    std::unique_ptr<MainWindow> m_window;
    int m_frames = 0;
    int m_opens = 0;
    int m_refusals = 0;
    int m_screenshots = 0;
    std::string m_what;
};

QTEST_MAIN(MonkeyTest)
#include "MonkeyTest.moc"
