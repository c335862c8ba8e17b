// The main window: its controls against the render states, files and source folders opened in
// the background (opening in the foreground is the command line's, and its failures are shown
// there), the part of the graph shown, the search field, remembered settings, a desktop's habits
// and vector pictures read back.
#include "AppTestSupport.h"
#include "BackgroundOpen.h"
#include "BackgroundReshow.h"
#include "ControlBindings.h"
#include "CurveControls.h"
#include "DepthBox.h"
#include "GraphGenerator.h"
#include "GraphLoader.h"
#include "GraphStore.h"
#include "GraphicsMemory.h"
#include "RenderImplementation.h"
#include "ShownControls.h"
#include "Trace.h"
#include "VectorPicture.h"
#include "VertexFinder.h"
#include "VertexLabels.h"
#include "VertexMatchModel.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QLineF>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

#include <fstream>
#include <iostream>
#include <random>

namespace {

// Answers every modal dialog while timer runs: a file dialog gets typedName, a message box is
// accepted and its text kept in shown.
void answerDialogs(QTimer& timer, QString& shown, const QString& typedName = {}) {
    QObject::connect(&timer, &QTimer::timeout, [&shown, typedName] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            shown = box->text();
            box->accept();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            name->setText(typedName);
            QTest::keyClick(name, Qt::Key_Return);
        }
    });
    timer.start(50);
}

// Presses a progress dialog's Cancel as it shows, ahead of an end the opening thread may post
// meanwhile, keeping what the dialog said.
struct CancelOnShow : QObject {
    QString label, title;
    CancelOnShow() { qApp->installEventFilter(this); }
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* dialog = qobject_cast<QProgressDialog*>(object);
        if (dialog && event->type() == QEvent::Show && title.isEmpty()) {
            label = dialog->labelText();
            title = dialog->windowTitle();
            QMetaObject::invokeMethod(
                dialog, [dialog] { dialog->findChild<QPushButton*>()->click(); },
                Qt::QueuedConnection);
        }
        return false;
    }
};

// The first and last point of every path element ("M x,y C x,y x,y x,y ..."), none for a file
// that is not well-formed; cubics counts the spans.
QList<QLineF> pathEnds(QFile&& file, int* cubics) {
    QList<QLineF> ends;
    if (!file.open(QIODevice::ReadOnly)) return ends;
    QXmlStreamReader xml(&file);
    const QRegularExpression number("-?[0-9.]+(e-?[0-9]+)?");
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"path") continue;
        const QString d = xml.attributes().value("d").toString();
        *cubics += int(d.count('C'));
        QList<double> v;
        for (auto m = number.globalMatch(d); m.hasNext();) v << m.next().captured().toDouble();
        if (v.size() >= 4) ends.append(QLineF(v[0], v[1], v[v.size() - 2], v.last()));
    }
    return xml.hasError() ? QList<QLineF>() : ends;
}

// How many of the points have a point of `among` within a hundredth of a pixel.
int matched(const QList<QPointF>& points, const QList<QPointF>& among) {
    return int(std::count_if(points.begin(), points.end(), [&](const QPointF& p) {
        return std::any_of(among.begin(), among.end(), [&](const QPointF& q) {
            return std::abs(p.x() - q.x()) < 0.01 && std::abs(p.y() - q.y()) < 0.01;
        });
    }));
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {  // remembered settings go to this run's folder, not to the user's
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }

    void init() {
        g_renderStates = RenderStates();
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QVERIFY(waitForCurrentFrame(*m_window->openGLWidget));
    }

    void cleanup() { m_window.reset(); }

    // The table of controls against generated settings: every control shows what its field
    // holds (by the table and by the independent list of disagreements), and writing what a
    // control shows gives the field back, into these settings (which then stay as they are) or
    // any others.
    void everyControlShowsItsFieldAndWritesWhatItShows() {
        std::mt19937 random(21);
        auto any = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        const QStringList names = QColor::colorNames();
        auto generated = [&] {
            RenderStates s;
            s.viewType = any(0, 4);
            s.stripTreemap = s.viewType == 2 || s.viewType == 3 ? s.viewType - 2 : any(0, 1);
            for (bool* flag : {&s.mode3D, &s.blending, &s.lighting, &s.shadow, &s.cushion})
                *flag = any(0, 1);
            const std::tuple<int32_t*, int, int> numbers[] = {
                {&s.drawMask, 0, 15},     {&s.shadowMask, 0, 15},    {&s.blendMethod, 0, 4},
                {&s.lightType, 0, 2},     {&s.lightRadius, 0, 99},   {&s.lightAttenuation, 0, 99},
                {&s.scale, 0, 100},       {&s.rotationX, -180, 180}, {&s.rotationY, -180, 180},
                {&s.rotationZ, -180, 180}};
            for (const auto& [field, low, high] : numbers) *field = any(low, high);
            s.beta = any(0, 1000) / 1000.0f;
            s.relationStartColor[3] = s.relationEndColor[3] = any(0, 200) / 100.0f;
            for (float* c :
                 {s.vertexColor, s.hierarchyColor, s.relationStartColor, s.relationEndColor,
                  s.selectionColor, s.outgoingEdgeColor, s.incomingEdgeColor}) {
                const QColor named(names[any(0, names.size() - 1)]);
                c[0] = named.red() / 255.0f, c[1] = named.green() / 255.0f;
                c[2] = named.blue() / 255.0f;
            }
            return s;
        };
        for (int round = 0; round < 20; ++round) {
            const RenderStates s = generated();
            g_renderStates = s;
            m_window->showRenderStates();
            QCOMPARE(disagreements(*m_window), QStringList());
            for (const ControlBindings::Binding& row : m_window->bindings().bindings()) {
                const char* name = qPrintable(row.control->objectName());
                const int shown = ControlBindings::controlValue(row.control);
                QVERIFY2(shown == row.shown(s), name);
                RenderStates same, other = generated();
                memcpy(&same, &s, sizeof(RenderStates));  // padding too, for the comparison
                row.store(same, shown);
                QVERIFY2(memcmp(&same, &s, sizeof(RenderStates)) == 0, name);
                // A radio button let go of writes nothing: another one takes over.
                if (!shown && qobject_cast<QRadioButton*>(row.control)) continue;
                row.store(other, shown);
                QVERIFY2(row.shown(other) == shown, name);
            }
        }
    }

    // The surface's input reaches the camera and the frames: a right drag orbits with drafts,
    // and the full frame follows once the input rests.
    void aDragOrbitsWithDraftsUntilInputRests() {
        OpenGLWidget& s = *m_window->openGLWidget;
        QVERIFY(m_window->openFile(kData + "ramiflex.xml"));
        QVERIFY(waitForCurrentFrame(s));
        const float horizontal = s.cameraControl().horizontal(), distance = s.distance();
        sendDrag(&s, {{300, 200}, {420, 260}}, Qt::RightButton);
        QVERIFY(s.cameraControl().horizontal() != horizontal);
        QCOMPARE(s.distance(), distance);
        QVERIFY(s.drawsDrafts() && !s.showsCurrentState());
        QVERIFY(waitForCurrentFrame(s));
        QVERIFY(!s.drawsDrafts() && !s.renderer()->draftFrames());
    }

    // Files open off the GUI thread behind a progress dialog that names the file and cancels; a
    // failure shows a message naming the problem and the graph on screen stays, drawn whole; a
    // good file replaces the graph and shows its name.
    void opensInTheBackgroundWhileTheWindowAnswers() {
        MainWindow& w = *m_window;
        // Large enough that opening it takes about a second, long past the dialog's delay.
        const QString large = m_dir.filePath("large.rsf");
        GeneratorParams params;
        params.vertices = 100'000, params.relations = 200'000;
        GraphGenerator(params).writeRsf(std::ofstream(large.toStdString()).flush());  // closed here
        // An interactive run, which shows its failures in a box; the whole graph laid out, as an
        // overview would take a fraction of the time.
        StartOptions whole;
        whole.depth = -1;
        w.start(whole);
        // A small surface draws its frames quickly, so that the event loop answers promptly.
        w.openGLWidget->setFixedSize(320, 240);
        QVERIFY(w.openFile(kData + "ramiflex.xml"));
        GraphStore* const previous = w.graph();
        QSignalSpy finished(&w, &MainWindow::openFinished);
        BackgroundOpen& opener = *w.opener();
        setTraceStream(nullptr);  // a trace line per record of the large file would swamp the log
        // The GUI thread's timer ticks while the file is read and laid out; an opening on the GUI
        // thread would let it tick not once.
        int ticksWhileOpening = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ticksWhileOpening += opener.busy(); });
        ticker.start(5);
        CancelOnShow cancel;
        w.openInBackground(large);
        QTRY_VERIFY_WITH_TIMEOUT(!opener.busy(), 20000);
        QVERIFY2(ticksWhileOpening >= 2, qPrintable(QString::number(ticksWhileOpening)));
        QVERIFY(cancel.title.contains("large.rsf"));
        QVERIFY2(!cancel.label.isEmpty(), "the dialog names the phase");
        QCOMPARE(finished.count(), 0);
        QCOMPARE(w.graph(), previous);

        // The second file's first buffer is left without memory, as a driver out of it would.
        const std::pair<QString, const char*> failures[] = {
            {kCorpus + "load_pipeline/undeclared.rsf", "undeclared.rsf: line 2"},
            {kData + "tiny.xml", "ran out of memory"}};
        for (const auto& [file, problem] : failures) {
            QString shown;
            QTimer answer;
            answerDialogs(answer, shown);
            const bool refuse = file.endsWith("tiny.xml");
            if (refuse) GraphicsMemory::failNextAllocation();
            w.openInBackground(file);
            QTRY_VERIFY2_WITH_TIMEOUT(shown.contains(problem), qPrintable(shown), 20000);
            QCOMPARE(w.openGLWidget->lacksGraphicsMemory(), refuse);
            QCOMPARE(w.graph(), previous);
            QCOMPARE(g_graph, previous);
            const quint64 frames = w.openGLWidget->framesDrawn();
            w.openGLWidget->requestFrame();
            QTRY_VERIFY(w.openGLWidget->framesDrawn() > frames);
            QCOMPARE(w.openGLWidget->renderer()->curveBuffers().curveCount(),
                     size_t(previous->relationEdgeCount()));
        }

        // Of two quick opens the second ends on screen, named in the title, the status bar and
        // the recent files; the first is never shown.
        finished.clear();
        w.openInBackground(large);
        w.openInBackground(kData + "tiny.rsf");
        QTRY_VERIFY_WITH_TIMEOUT(!opener.busy(), 20000);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0), QVariantList({kData + "tiny.rsf", QString()}));
        QCOMPARE(w.windowTitle(), QString("tiny.rsf - Ramiflex"));
        const QString status = w.statusbar->findChild<QLabel*>()->text();
        QVERIFY2(status.startsWith("tiny.rsf: 4 vertices, "), qPrintable(status));
        QVERIFY(w.menuRecent->actions().at(0)->text().endsWith(" tiny.rsf"));
        QCOMPARE(g_graph, w.graph());

        // Ctrl+Q closes the window while a file opens, from the progress dialog too, which has
        // the keyboard then; the opening stops with the window.
        w.openInBackground(large);
        QTRY_VERIFY_WITH_TIMEOUT(opener.progressDialog() && opener.progressDialog()->isVisible(),
                                 20000);
        opener.progressDialog()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(opener.progressDialog()));
        QTest::keyClick(opener.progressDialog(), Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!w.isVisible());
        QVERIFY(opener.busy());
        m_window.reset();
        setTraceStream(&std::cout);
    }

    // Each row changes what part of the sample shows, through the panel, the mouse, the vertex
    // menu or a key, and is laid out in the background: the number of vertices shown after it,
    // the camera where the row before left it.
    void collapsesExpandsExcludesAndFocusesByTable() {
        MainWindow& w = *m_window;
        OpenGLWidget& s = *w.openGLWidget;
        w.start(StartOptions());  // an interactive run, which remembers and shows failures
        w.activateWindow();       // the keys reach the window's shortcuts
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // The rooted tree, flat: every vertex a disc large enough to pick.
        w.rootedTreeButton->click();
        w.mode3DBox->setChecked(false);
        QVERIFY(w.openFile(kData + "ramiflex.xml"));
        QVERIFY(waitForCurrentFrame(s));
        const GraphStore& full = *w.fullGraph();
        const VertexPtr root = full.getRoot();
        std::function<size_t(const VertexPtr&)> below = [&](const VertexPtr& top) {
            size_t count = 0;
            for (const VertexPtr& child : top->children()) count += 1 + below(child);
            return count;
        };
        // The root's child with the most below it, and its child with the most below that.
        auto largest = [&](const VertexPtr& parent) {
            VertexPtr best;
            for (const VertexPtr& child : parent->children())
                if (!best || below(child) > below(best)) best = child;
            return best;
        };
        const VertexPtr folder = largest(root), inner = largest(folder);
        auto shownId = [&](const VertexPtr& v) {
            return w.shownGraph() ? w.shownGraph()->shownOf(v->getId()) : v->getId();
        };
        auto at = [&](const VertexPtr& v) {
            Vector3 drawn{};
            s.renderer()->drawnVertexPosition(shownId(v), &drawn);
            const Camera& camera = *s.orthoCamera();
            const Vector4 clip = math::transform(
                camera.projection, math::transform(camera.view, {drawn[0], drawn[1], drawn[2], 1}));
            const QPointF centre((clip[0] / clip[3] + 1) / 2 * s.width(),
                                 (1 - clip[1] / clip[3]) / 2 * s.height());
            // Hierarchy edges end on top of the disc: the first point around its centre that
            // picks the vertex.
            for (const QPointF offset : {QPointF(0, 0), QPointF(3, 0), QPointF(-3, 0),
                                         QPointF(0, 3), QPointF(0, -3), QPointF(3, 3)}) {
                sendClick(&s, centre + offset);
                const Selection& picked = s.renderer()->selection();
                if (picked.m_type == Selection::VERTEX && picked.m_vertex->getId() == shownId(v))
                    return centre + offset;
            }
            return centre;
        };
        auto menu = [&](const VertexPtr& v, const QString& item) {
            return [&, v, item] {
                QTimer::singleShot(0, [&, item] {
                    auto* shown = w.findChild<QMenu*>("vertexMenu");
                    for (QAction* action : shown->actions())
                        if (action->text() == item) action->trigger();
                    shown->close();
                });
                sendDrag(&s, {at(v)}, Qt::RightButton);
            };
        };
        auto doubleClick = [&](const VertexPtr& v) {
            return [&, v] {
                sendClick(&s, at(v));
                sendMouse(&s, QEvent::MouseButtonDblClick, at(v), Qt::LeftButton, Qt::LeftButton);
                sendMouse(&s, QEvent::MouseButtonRelease, at(v), Qt::LeftButton, Qt::NoButton);
            };
        };
        const size_t all = full.vertexCount(), topLevel = 1 + root->getChildCount();
        const size_t folderOpen = topLevel + folder->getChildCount();
        // clang-format off
        const struct {
            const char* what;
            std::function<void()> act;
            size_t shown;
            const char* status;  // "": any part, nullptr: none
        } rows[] = {
            {"depth 1 in the panel", [&] { w.shownControls()->depthBox()->setValue(1); }, topLevel, "collapsed to depth 1: "},
            {"double-click expands a folder one level", doubleClick(folder), folderOpen, ""},
            {"double-click collapses it", doubleClick(folder), topLevel, ""},
            {"menu: Expand All Below", menu(folder, "Expand All Below"), topLevel + below(folder), ""},
            {"menu: Collapse", menu(inner, "Collapse"), topLevel + below(folder) - below(inner), ""},
            {"menu: Expand", menu(inner, "Expand"), topLevel + below(folder) - below(inner) + inner->getChildCount(), ""},
            {"menu: Collapse Level", menu(folder, "Collapse Level"), topLevel, ""},
            {"all in the panel after collapsing by hand", [&] { w.shownControls()->depthBox()->stepUp(); }, all, nullptr},
            {"Expand All (E)", [&] { QTest::keyClick(&s, Qt::Key_E); }, all, nullptr},
        };
        // clang-format on
        QSignalSpy reshown(&w, &MainWindow::reshowFinished);
        for (const auto& row : rows) {
            reshown.clear();
            const Matrix4 camera = s.orthoCamera()->view;
            const float zoom = s.orthoCamera()->width;
            row.act();
            QTRY_VERIFY2_WITH_TIMEOUT(reshown.count() == 1, row.what, 20000);
            QCOMPARE(reshown.at(0).at(0).toString(), QString());
            QCOMPARE(QString("%1: %2").arg(row.what).arg(w.graph()->vertexCount()),
                     QString("%1: %2").arg(row.what).arg(row.shown));
            QCOMPARE(g_graph, w.graph());
            QVERIFY2(s.orthoCamera()->view == camera && s.orthoCamera()->width == zoom, row.what);
            const QString status = w.statusbar->findChild<QLabel*>("shownText")->text();
            const QString shownOfAll = QString(" of %1 vertices shown").arg(all);
            QVERIFY2(!row.status   ? status.isEmpty()
                     : *row.status ? status == row.status + QString::number(row.shown) + shownOfAll
                                   : status.endsWith(shownOfAll),
                     qPrintable(QString(row.what) + ": " + status));
            s.fitView();  // the new part fills the picture for the next row's pointer
            QVERIFY(waitForCurrentFrame(s));
        }

        // Exclude on Enter: the tests folder goes with everything below it; remembered. One
        // matching the root is refused with a message, and the part on screen stays.
        QLineEdit* exclude = w.shownControls()->excludeField();
        QString shown;
        QTimer answer;
        answerDialogs(answer, shown);
        for (const QString patterns : {"*/tests/, */bench/", "*"}) {
            reshown.clear();
            GraphStore* const before = w.graph();
            exclude->setText(patterns);
            QTest::keyClick(exclude, Qt::Key_Return);
            QTRY_COMPARE_WITH_TIMEOUT(reshown.count(), 1, 20000);
            if (patterns == "*") {
                QTRY_VERIFY_WITH_TIMEOUT(shown.contains("matches the root"), 20000);
                QCOMPARE(w.graph(), before);
                continue;
            }
            QVERIFY(w.shownGraph() && w.shownGraph()->excludedVertexCount() > 0);
            QCOMPARE(w.graph()->vertexCount() + w.shownGraph()->excludedVertexCount(), all);
            QCOMPARE(QSettings().value("shown/exclude").toStringList(),
                     QStringList({"*/tests/", "*/bench/"}));
        }

        // Focus (Space) on a selected vertex fades the other relation edges; again restores.
        const float alpha = g_renderStates.relationEndColor[3];
        w.activateWindow();  // the message box had the focus
        QVERIFY(QTest::qWaitForWindowActive(&w));
        sendClick(&s, at(folder));
        QCOMPARE(s.renderer()->selection().m_type, int(Selection::VERTEX));
        QTest::keyClick(&s, Qt::Key_Space);
        QVERIFY(w.focused() && g_renderStates.relationEndColor[3] < 0.1f);
        QTest::keyClick(&s, Qt::Key_Space);
        QVERIFY(!w.focused());
        QCOMPARE(g_renderStates.relationEndColor[3], alpha);

        // Two changes in quick succession add up: the second builds on the first, still being
        // laid out, instead of replacing it.
        for (const VertexPtr& v : {folder, inner}) w.collapseVertex(shownId(v));
        QTRY_VERIFY_WITH_TIMEOUT(!w.reshower()->busy(), 20000);
        std::vector<uint32_t> collapsed = w.shownRequest().collapsed;
        std::sort(collapsed.begin(), collapsed.end());
        const auto [low, high] = std::minmax({folder->getId(), inner->getId()});
        QCOMPARE(collapsed, std::vector<uint32_t>({low, high}));

        // Finding a vertex inside a collapsed subtree opens the path to it and selects it; the
        // folders open before stay open.
        reshown.clear();
        w.shownControls()->depthBox()->setValue(2);
        QTRY_COMPARE_WITH_TIMEOUT(reshown.count(), 1, 20000);
        std::vector<uint32_t> shownBefore;
        for (uint32_t id = 0; id < w.shownGraph()->shownCount(); ++id)
            shownBefore.push_back(w.shownGraph()->originalId(id));
        VertexPtr deep = inner;
        while (deep->getChildCount() > 0) deep = deep->getChild(deep->getChildCount() - 1);
        auto* finder = w.findChild<VertexFinder*>();
        finder->setText(QString::fromStdString(deep->getName()));
        reshown.clear();
        QTest::keyClick(finder, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(reshown.count(), 1, 20000);
        const Selection& found = s.renderer()->selection();
        QCOMPARE(found.m_type, int(Selection::VERTEX));
        QCOMPARE(w.shownGraph()->originalId(found.m_vertex->getId()), deep->getId());
        for (uint32_t id : shownBefore) {
            const ShownGraph& now = *w.shownGraph();
            QVERIFY2(now.originalId(now.shownOf(id)) == id, qPrintable(QString::number(id)));
        }
    }

    void findsVerticesByNameAndShowsTheirEdges() {
        MainWindow& w = *m_window;
        auto* finder = w.findChild<VertexFinder*>();
        const RenderImplementation& renderer = *w.openGLWidget->renderer();
        QSignalSpy chosen(finder, &VertexFinder::vertexChosen);
        // Types text (or inserts it, as an input method does) and presses Enter: the rows listed
        // and the vertex chosen, or -1.
        auto find = [&](const QString& text, bool typed) {
            chosen.clear();
            finder->clear();
            typed ? QTest::keyClicks(finder, text) : finder->insert(text);
            QStringList listed;
            for (int r = 0; r < finder->matches()->rowCount(); ++r)
                listed << finder->matches()->index(r).data().toString();
            finder->completer()->popup()->hide();
            QTest::keyClick(finder, Qt::Key_Return);
            const Selection& s = renderer.selection();
            const bool one = chosen.count() == 1 && s.m_type == Selection::VERTEX;
            return std::pair(listed, one ? int(s.m_vertex->getId()) : -1);
        };
        QVERIFY(w.openFile(kData + "tiny.xml"));
        w.activateWindow();  // Ctrl+F reaches the field from the drawing surface
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(w.openGLWidget, Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(finder->hasFocus());

        // Typed text against the rows listed (names starting with it, then those containing it)
        // and the vertex Enter chooses: a whole name in any case, or nothing while several fit.
        // clang-format off
        const std::pair<const char*, std::pair<QStringList, int>> cases[] = {
            {"LE", {{"leaf (3)", "left (1)"}, -1}}, {"f", {{"leaf (3)", "left (1)"}, -1}},
            {"r", {{"right (2)", "root (0)"}, -1}}, {"left", {{"left (1)"}, 1}},
            {"ROOT", {{"root (0)"}, 0}}, {"xyz", {{}, -1}}, {"right (2)", {{}, 2}}};
        // clang-format on
        for (const auto& [typed, expected] : cases) QCOMPARE(find(typed, true), expected);
        // The overlay counts the chosen vertex's edges.
        QCOMPARE(renderer.overlayLine(3), std::string("In: 2  Out: 0"));

        // Names in UTF-8 are found, and the overlay names them.
        const QString names = m_dir.filePath("names.rsf");
        std::ofstream(names.toStdString())
            << u8"\"H\" \"0\" \"Stra\u00dfe.h\"\n\"H\" \"1\" \"\u65e5\u672c.cpp\"\n"
               u8"\"PCR\" \"0\" \"1\"\n\"R\" \"1\" \"0\"\n";
        QVERIFY(w.openFile(names));
        QCOMPARE(find(QString::fromUtf8(u8"\u65e5\u672c"), false).second, 1);
        QCOMPARE(renderer.overlayLine(2), std::string(u8"Name: \u65e5\u672c.cpp"));
        // Labels cut a long name with an ellipsis, never inside a character of two units.
        const QString clef = QString::fromUtf8(u8"\U0001D11E");
        for (const int pad : {37, 38}) {
            const QString cut = VertexLabels::shortName(QString(pad, 'a') + clef + "tail");
            QVERIFY2(cut.endsWith(QString::fromUtf8(u8"\u2026")) && cut.size() <= 40 &&
                         !cut.at(cut.size() - 2).isHighSurrogate(),
                     qPrintable(cut));
        }
    }

    void aDesktopProgramsHabits() {
        MainWindow& w = *m_window;
        QVERIFY(w.openFile(kData + "tiny.rsf"));
        QVERIFY(w.openFile(kData + "ramiflex.xml"));
        w.menuRecent->actions().at(1)->trigger();  // the recent files' second
        QTRY_COMPARE(w.graph()->vertexCount(), size_t(4));

        // A file dropped on the window opens.
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(kData + "ramiflex.xml")});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(&w, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(&w, &drop);
        QTRY_VERIFY(w.graph()->vertexCount() > 4);

        // Each menu action with the name typed in its dialog. A screenshot name without a suffix
        // is saved as PNG, Export Picture… writes the format its suffix names; a source folder is
        // scanned and shown; the graph on screen is saved as RSF or XML by the suffix, a name
        // without one as the chosen filter's RSF.
        QString shown;
        const std::pair<QAction*, QString> steps[] = {{w.actionSave, "shot"},
                                                      {w.actionExportPicture, "shot.SVG"},
                                                      {w.actionOpenFolder, "src"},
                                                      {w.actionSaveGraph, "saved"},
                                                      {w.actionSaveGraph, "saved.xml"}};
        for (const auto& [action, typed] : steps) {
            QTimer answer;
            answerDialogs(answer, shown, typed == "src" ? sourceFolder() : m_dir.filePath(typed));
            action->trigger();
            if (typed == "src") QTRY_COMPARE(w.windowTitle(), QString("src - Ramiflex"));
        }
        QVERIFY(QImage(m_dir.filePath("shot.png")).width() > 0);
        QFile svg(m_dir.filePath("shot.SVG"));
        QVERIFY(svg.open(QIODevice::ReadOnly) && svg.readAll().contains("<svg"));
        QCOMPARE(shown, "Screenshot saved " + svg.fileName());
        QCOMPARE(w.graph()->vertexCount(), size_t(5));
        for (const char* saved : {"saved.rsf", "saved.xml"}) {
            setTraceStream(nullptr);
            const LoadResult loaded = GraphLoader::load(m_dir.filePath(saved).toStdString());
            setTraceStream(&std::cout);
            QVERIFY2(loaded.ok(), loaded.error.c_str());
            QCOMPARE(loaded.graph->vertexCount(), size_t(5));
            QCOMPARE(loaded.graph->relationEdgeCount(), size_t(2));
        }
    }

    void coloursBlendingAndGeometryAreRememberedBetweenRuns() {
        m_window->start(StartOptions());
        m_window->averageBlendButton->click();
        emit m_window->relationEndColorBox->textActivated("orchid");
        m_window->resize(900, 650);
        m_window->close();
        m_window.reset();

        g_renderStates = RenderStates();
        MainWindow next;
        next.start(StartOptions());
        QCOMPARE(g_renderStates.blendMethod, 3);
        QCOMPARE(next.relationEndColorBox->currentText(), QString("orchid"));
        QCOMPARE(disagreements(next), QStringList());  // the states were shown, not just set
        QCOMPARE(next.size(), QSize(900, 650));
        // Command-line pictures ignore what was remembered and take the options' settings, which
        // the panel shows.
        g_renderStates = RenderStates();
        MainWindow picture;
        StartOptions options;
        QString message;
        QVERIFY(StartOptions::parse(
                    {"ramiflex", kData + "tiny.xml", "--screenshot", "x.png", "--view", "3", "--2d",
                     "--beta", "0.2", "--hide", "vertices,relations,grid,shadow,overlay"},
                    options, message) == StartOptions::Outcome::Run);
        picture.start(options);  // its open is queued and dropped with the window
        const RenderStates& s = g_renderStates;
        QVERIFY(s.blendMethod == 0 && s.viewType == 3 && s.stripTreemap == 1 && !s.mode3D &&
                s.beta == 0.2f && s.drawMask == 2 && !s.shadow && !s.overlay);
        QCOMPARE(picture.relationEndColorBox->currentText(), QString("gold"));
        QCOMPARE(disagreements(picture), QStringList());
    }

    // Vector pictures of the sample, in the 3D balloon tree, turned and scaled, and the flat
    // radial tree: every curve is in the SVG as bands of cubic spans that start and end where
    // the renderer draws its end vertices, seen through the frame's camera, and a picked
    // vertex's edges in their colours. (The PDF's size and a name that cannot be written are
    // the command line's to show.)
    void curvesComeBackAsBandsEndingOnTheProjectedEndsAndPickedEdgesInTheirColours() {
        for (const bool flat : {false, true}) {
            g_renderStates = RenderStates();
            MainWindow window;
            StartOptions options;
            options.mode2D = flat;
            options.view = flat ? 4 : 1;
            options.screenshot = "picture";  // settings of the command line, none remembered
            window.start(options);
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QVERIFY(window.openFile(kData + "ramiflex.xml"));
            OpenGLWidget& surface = *window.openGLWidget;
            if (!flat) {
                window.rotateXSlider->setValue(25);
                window.rotateYSlider->setValue(-40);
                window.rotateZSlider->setValue(10);
                window.scaleSlider->setValue(window.scaleSlider->value() + 7);
            }
            QVERIFY(waitForCurrentFrame(surface));
            const QString svg = m_dir.filePath("p.svg");
            QString error;
            QVERIFY2(VectorPicture(surface).save(svg, &error), qPrintable(error));
            int cubics = 0;
            const QList<QLineF> paths = pathEnds(QFile(svg), &cubics);
            const RenderImplementation& renderer = *surface.renderer();
            const CurveControls& controls = *renderer.curveControls();
            QCOMPARE(paths.size(),
                     int(controls.curveCount()) * VectorPicture::bandsFor(controls.curveCount()));
            QVERIFY(cubics >= paths.size());

            const Camera& camera = *renderer.camera();
            const Matrix4 toClip = math::multiply(camera.projection, camera.view);
            auto pixel = [&](uint32_t vertex) {
                Vector3 p{};
                renderer.drawnVertexPosition(vertex, &p);
                const Vector4 c = math::transform(toClip, {p[0], p[1], p[2], 1.0f});
                return QPointF((c[0] / c[3] + 1) / 2 * surface.viewportWidth(),
                               (1 - c[1] / c[3]) / 2 * surface.viewportHeight());
            };
            QList<QPointF> starts, ends, pathStarts, pathFinishes;
            for (const uint32_t e : controls.order(renderer.viewType())) {
                const uint32_t* path = controls.paths().path(e);
                starts << pixel(path[0]);
                ends << pixel(path[controls.paths().length(e) - 1]);
            }
            for (const QLineF& p : paths) pathStarts << p.p1(), pathFinishes << p.p2();
            QCOMPARE(matched(starts, pathStarts), starts.size());
            QCOMPARE(matched(ends, pathFinishes), ends.size());
            // Spread over the picture, so that the matches above are not of points all in one.
            QRectF spread(starts.first(), QSizeF(0, 0));
            for (const QPointF& p : starts) spread |= QRectF(p, QSizeF(0.01, 0.01));
            QVERIFY(spread.intersects(
                        QRectF(0, 0, surface.viewportWidth(), surface.viewportHeight())) &&
                    spread.width() > 100 && spread.height() > 100);
            if (!flat) continue;

            // A picked vertex in the selection colour, its outgoing edges in orange and its
            // incoming ones in cyan, at their colour's own opacity.
            uint32_t picked = UINT32_MAX;
            for (const auto& [id, vertex] : g_graph->vertices())
                if (vertex->getName() == "GraphStore.h") picked = id;
            QVERIFY(surface.renderer()->selectVertexById(picked));
            surface.requestFrame();
            QVERIFY(waitForCurrentFrame(surface));
            QVERIFY2(VectorPicture(surface).save(svg, &error), qPrintable(error));
            QFile file(svg);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = file.readAll();
            for (const char* drawn :
                 {"stroke=\"#ffa500\" stroke-opacity=\"1\"",
                  "stroke=\"#00ffff\" stroke-opacity=\"1\"", "fill=\"#ff00ff\""})
                QVERIFY2(text.contains(drawn), drawn);
        }
    }

private:
    // A folder of three sources with two includes between them: five vertices, two edges.
    QString sourceFolder() {
        const QString folder = m_dir.filePath("src");
        QDir().mkpath(folder + "/sub");
        for (const auto& [name, text] : {std::pair{"/a.c", "#include \"b.h\"\n"},
                                         {"/b.h", "#include <src/sub/c.h>\n"},
                                         {"/sub/c.h", ""}}) {
            std::ofstream(QString(folder + name).toStdString()) << text;
        }
        return folder;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
