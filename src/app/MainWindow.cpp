#include "MainWindow.h"

#include "BackgroundOpen.h"
#include "BackgroundReshow.h"
#include "ControlBindings.h"
#include "EdgeColorControls.h"
#include "FoundVertex.h"
#include "GraphStore.h"
#include "GraphWriter.h"
#include "Preferences.h"
#include "OverviewDepth.h"
#include "RenderImplementation.h"
#include "RenderStates.h"
#include "ShownControls.h"
#include "Trace.h"
#include "VectorPicture.h"
#include "VertexFinder.h"
#include "VertexLabels.h"

#include <QColor>
#include <QCloseEvent>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>
#include <system_error>

namespace {

// Pictures are saved with zlib's fastest level: in half the time of its default, for PNG files
// about 6 % larger (a picture saved is often the last step of a scripted run).
bool saveImage(const QImage& image, const QString& fileName) {
    const bool png = QFileInfo(fileName).suffix().compare("png", Qt::CaseInsensitive) == 0;
    return image.save(fileName, nullptr, png ? 80 : -1);
}

// The alpha of the relation edges other than the focused vertex's: a faint trace.
constexpr float kFocusTraceAlpha = 0.04f;

// A folder as an absolute path without a trailing slash, so that it has a name to show ("." and
// "src/" have none); files as they are.
QString withFolderName(const QString& fileName) {
    return QFileInfo(fileName).isDir() ? QDir(fileName).absolutePath() : fileName;
}

}  // namespace

MainWindow::MainWindow() : QMainWindow(nullptr) {
    setupUi(this);
    // Ctrl+Q quits from the progress dialog of an opening too, which has the keyboard then.
    actionClose->setShortcutContext(Qt::ApplicationShortcut);
    connect(actionOpen, &QAction::triggered, this, &MainWindow::openFileDialog);
    connect(actionOpenFolder, &QAction::triggered, this, &MainWindow::openFolderDialog);
    connect(actionSaveGraph, &QAction::triggered, this, &MainWindow::saveGraphDialog);
    connect(actionSave, &QAction::triggered, this, &MainWindow::saveFileDialog);
    connect(actionExportPicture, &QAction::triggered, this, &MainWindow::exportPictureDialog);
    connect(actionSteuerung, &QAction::triggered, this, &MainWindow::controlDialog);
    connect(actionAbout, &QAction::triggered, this, &MainWindow::aboutDialog);
    connect(actionFitView, &QAction::triggered, openGLWidget, &OpenGLWidget::fitView);
    for (auto failure : {&OpenGLWidget::graphicsMemoryFailed, &OpenGLWidget::drawingBroken}) {
        connect(openGLWidget, failure, this, [this](const QString& message) {
            // Pictures taken from the command line say it on standard error, before they exit.
            if (!m_remembers) {
                std::cerr << message.toStdString() << '\n';
                return;
            }
            // Queued: the failure may be found in the middle of a frame.
            QMetaObject::invokeMethod(
                this,
                [this, message] { QMessageBox::critical(this, tr("Error Message"), message); },
                Qt::QueuedConnection);
        });
    }
    // Finding a vertex by name, and the colours of a selected vertex's relation edges.
    auto* finder = new VertexFinder(this);
    menuBar()->setCornerWidget(finder);
    // The whole graph is searched: a vertex inside a collapsed subtree is found too.
    connect(this, &MainWindow::setView, finder, [this, finder] {
        if (m_finderGraph == fullGraph()) return;
        m_finderGraph = fullGraph();
        finder->setGraph(m_finderGraph);
    });
    connect(finder, &VertexFinder::vertexChosen, this, &MainWindow::showOriginalVertex);
    m_edgeColors = new EdgeColorControls(selectionColorBox);
    m_bindings = new ControlBindings(*this, *m_edgeColors, g_renderStates, this);
    m_opener = new BackgroundOpen(this);
    connect(m_opener, &BackgroundOpen::finished, this, &MainWindow::backgroundOpenFinished);
    // A slider dragged by its handle moves the picture as a mouse drag does.
    for (QSlider* slider : findChildren<QSlider*>()) {
        connect(slider, &QSlider::valueChanged, openGLWidget, [this, slider] {
            if (slider->isSliderDown()) openGLWidget->draftUntilRest();
        });
    }

    m_statusText = new QLabel(statusbar);
    statusbar->addWidget(m_statusText, 1);
    m_shownText = new QLabel(statusbar);
    m_shownText->setObjectName("shownText");
    statusbar->addPermanentWidget(m_shownText);
    addShownActions();
    setAcceptDrops(true);
    showRecentFiles();
    showRenderStates();
    fitToScreen();
}

void MainWindow::fitToScreen() {
    // The panel is as wide as its widest text, plus room for the scroll bar when it shows. The
    // frame's own hint stops short of its tab widget's, so the width is added up here.
    const QMargins margins = frame->layout()->contentsMargins();
    const int panelWidth =
        tabWidget->sizeHint().width() + margins.left() + margins.right() + 2 * frame->frameWidth();
    frame->setMinimumWidth(panelWidth);
    panelScroll->setMinimumWidth(panelWidth + panelScroll->verticalScrollBar()->sizeHint().width());
    const QScreen* screen = this->screen();
    if (!screen) return;
    const QSize room = screen->availableGeometry().size();
    resize(std::min(width(), room.width()), std::min(height(), room.height()));
}

void MainWindow::showRenderStates() {
    m_bindings->show();
    m_beta = g_renderStates.beta;
}

MainWindow::~MainWindow() {
    // Before the dialog and the graph go; an opening still running stops at its next phase.
    m_opener->stop();
    m_reshow->stop();
    if (g_graph == graph()) g_graph = nullptr;
}

bool MainWindow::openFile(const QString& fileName, QString* error) {
    // One opening at a time: this one replaces any running in the background.
    m_opener->stop();
    m_reshow->stop();
    QElapsedTimer clock;
    clock.start();
    OpenedGraph opened = GraphOpening::open(QFile::encodeName(fileName).toStdString(), {}, nullptr,
                                            {}, &m_openRequest);
    return adoptOpened(fileName, opened, clock.elapsed(), error);
}

bool MainWindow::adoptOpened(const QString& fileName, OpenedGraph& opened, qint64 elapsed,
                             QString* error) {
    if (!opened.ok()) {
        if (error) *error = QString::fromStdString(opened.error);
        return false;
    }
    if (!adopt(opened)) {
        if (error) *error = tr("%1: there is not enough graphics memory to show it").arg(fileName);
        return false;
    }
    showFileInfo(withFolderName(fileName), elapsed);
    return true;
}

void MainWindow::openInBackground(const QString& fileName) {
    m_opener->open(withFolderName(fileName));
}

void MainWindow::backgroundOpenFinished(const QString& fileName,
                                        std::shared_ptr<OpenedGraph> opened, qint64 elapsed) {
    if (!opened->ok()) {
        const QString error = QString::fromStdString(opened->error);
        emit openFinished(fileName, error);
        QMessageBox::critical(this, tr("Error Message"), error);
        return;
    }
    // A part of the previous file still being laid out, and a vertex to select in it, are of no
    // use to the new one.
    m_reshow->stop();
    m_selectAfterReshow = UINT32_MAX;
    if (!adopt(*opened)) {
        // The surface has told the user why.
        emit openFinished(fileName,
                          tr("%1: there is not enough graphics memory to show it").arg(fileName));
        return;
    }
    showFileInfo(fileName, elapsed);
    emit openFinished(fileName, QString());
}

bool MainWindow::adopt(OpenedGraph& opened) {
    // The previous graph goes after the views made from it, or comes back when the surface
    // cannot take the new one.
    std::unique_ptr<GraphStore> previousGraph = std::move(m_graph);
    const std::shared_ptr<GraphStore> previousFull = m_full;
    const std::shared_ptr<const ShownGraph> previousShown = m_shown;
    const ShownRequest previousRequest = m_request;
    const std::array<View*, 5> previousViews = m_views;
    if (opened.full) {
        m_full = opened.full;
        m_graph = std::move(opened.graph);
        m_shown = opened.shown;
        m_request = opened.request;
    } else {
        m_full = std::shared_ptr<GraphStore>(std::move(opened.graph));
        m_shown.reset();
        m_request = ShownRequest();
        m_request.depth = ShownRequest::kAll;
        m_request.useCollapsed = true;
    }
    g_graph = graph();
    for (int i = 0; i < 5; ++i) m_views[i] = opened.views[i].get();
    openGLWidget->adoptCurveControls(std::move(opened.curves));
    openGLWidget->adoptSceneGeometry(std::move(opened.geometry));
    m_labels->setShownGraph(m_shown.get(), m_full.get());
    if (!openGLWidget->setView(m_views.data())) {
        // The surface kept drawing the graph it had; so does everything else.
        m_views = previousViews;
        std::swap(m_graph, previousGraph);
        m_full = previousFull;
        m_shown = previousShown;
        m_request = previousRequest;
        g_graph = graph();
        m_labels->setShownGraph(m_shown.get(), m_full.get());
        return false;
    }
    emit setView(m_views.data());
    // The drawing surface has rebuilt its objects from the new views; the old ones can go,
    // before the graph they were made from.
    m_ownedViews.swap(opened.views);
    for (std::unique_ptr<View>& view : opened.views) view.reset();
    actionSaveGraph->setEnabled(true);
    return true;
}

void MainWindow::showFileInfo(const QString& fileName, qint64 milliseconds) {
    const QString name = QFileInfo(fileName).fileName();
    setWindowTitle(name + " - Ramiflex");
    const QLocale locale;
    const GraphStore& g = *m_full;
    // The per-depth counts end with a 0 only for a root without children.
    const std::vector<int32_t>& levels = g.getHierarchy();
    const size_t depth = levels.empty() ? 0 : levels.size() - (levels.back() == 0 ? 2 : 1);
    m_statusText->setText(QString("%1: %2 vertices, %3 hierarchy edges, %4 relation edges, depth "
                                  "%5; opened in %6 s")
                              .arg(name, locale.toString(qulonglong(g.vertexCount())),
                                   locale.toString(qulonglong(g.hierarchyEdgeCount())),
                                   locale.toString(qulonglong(g.relationEdgeCount())))
                              .arg(depth)
                              .arg(milliseconds / 1000.0, 0, 'f', 2));
    Preferences::addRecentFile(fileName);
    showRecentFiles();
    showShownInfo();
}

void MainWindow::showRecentFiles() {
    menuRecent->clear();
    const QStringList files = Preferences::recentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString& file = files[i];
        QAction* action =
            menuRecent->addAction(QString("&%1 %2").arg(i + 1).arg(QFileInfo(file).fileName()),
                                  this, [this, file] { openInBackground(file); });
        action->setToolTip(file);
        action->setStatusTip(file);
    }
    menuRecent->addSeparator();
    QAction* clear = menuRecent->addAction(tr("Clear Recent Files"), this, [this] {
        Preferences::clearRecentFiles();
        showRecentFiles();
    });
    clear->setEnabled(!files.isEmpty());
    menuRecent->setEnabled(!files.isEmpty());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    openInBackground(urls.first().toLocalFile());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_remembers) {
        Preferences::setWindowGeometry(saveGeometry());
        Preferences::saveRenderChoices(g_renderStates);
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::openFileDialog() {
    const QString fileName = QFileDialog::getOpenFileName(
        this, tr("Open File"), Preferences::lastFolder(), tr("DataFiles (*.rsf *.xml)"));
    if (fileName.isNull()) return;
    openInBackground(fileName);
}

void MainWindow::openFolderDialog() {
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Open Source Folder"),
                                                             Preferences::lastFolder());
    if (folder.isNull()) return;
    openInBackground(folder);
}

void MainWindow::saveGraphDialog() {
    // The whole graph opened, whatever part of it shows.
    if (!m_full) return;
    const QString rsf = tr("RSF files (*.rsf)"), xml = tr("XML files (*.xml)");
    QString filter = rsf;
    QString fileName = QFileDialog::getSaveFileName(
        this, tr("Save Graph As"), Preferences::lastFolder(), rsf + ";;" + xml, &filter);
    if (fileName.isEmpty()) return;
    // The format follows the suffix; a name typed without one takes the chosen filter's.
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix != "rsf" && suffix != "xml") fileName += filter == xml ? ".xml" : ".rsf";
    const std::string problem =
        GraphWriter::writeFile(*m_full, QFile::encodeName(fileName).toStdString());
    if (!problem.empty()) {
        QMessageBox::critical(this, tr("Error Message"), QString::fromStdString(problem));
        return;
    }
    statusBar()->showMessage(tr("Graph saved as %1").arg(fileName), 5000);
}

void MainWindow::saveFileDialog() {
    QString fileName = QFileDialog::getSaveFileName(this, tr("Save Image File"), QString(),
                                                    tr("ImageFiles (*.png)"));
    if (fileName.isEmpty()) return;
    // The format follows the suffix; a name typed without one means the PNG the filter offers.
    if (QFileInfo(fileName).suffix().isEmpty()) fileName += ".png";
    if (!saveImage(grabSurface(), fileName)) {
        QMessageBox::critical(this, "Error Message", "Could not save Image");
    } else {
        QMessageBox::information(this, "Information Message", "Screenshot saved " + fileName);
    }
}

QImage MainWindow::grabSurface() { return openGLWidget->shownPicture(); }

bool MainWindow::savePicture(const QString& fileName, QString* error) {
    if (VectorPicture::isVectorFile(fileName)) {
        return VectorPicture(*openGLWidget).save(fileName, error);
    }
    if (saveImage(grabSurface(), fileName)) return true;
    *error = "Could not save Image " + fileName;
    return false;
}

void MainWindow::exportPictureDialog() {
    const QStringList filters = {tr("PNG picture (*.png)"), tr("SVG picture (*.svg)"),
                                 tr("PDF document (*.pdf)")};
    QString filter = filters.first();
    QString fileName = QFileDialog::getSaveFileName(this, tr("Export Picture"), QString(),
                                                    filters.join(";;"), &filter);
    if (fileName.isEmpty()) return;
    // A name typed without a suffix takes the one of the chosen filter.
    if (QFileInfo(fileName).suffix().isEmpty()) {
        fileName += "." + filter.section("*.", 1).section(')', 0, 0);
    }
    QString error;
    // A vector picture of a large graph takes a few seconds.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool saved = savePicture(fileName, &error);
    QApplication::restoreOverrideCursor();
    if (!saved) {
        QMessageBox::critical(this, "Error Message", error);
    } else {
        QMessageBox::information(this, "Information Message", "Screenshot saved " + fileName);
    }
}

void MainWindow::aboutDialog() {
    QMessageBox::about(this, "Ramiflex",
                       "Ramiflex shows one hierarchical graph at a time: a rooted tree laid out "
                       "five ways, with every relation edge drawn as a bundled B-spline along the "
                       "tree path between its ends.\n\nWritten by the Ramiflex developers.");
}

void MainWindow::controlDialog() {
    QMessageBox::about(
        this, "Control Possibilities",
        " In Addition to the interaction with the User Interface \n you can also interact with "
        "the following Keys \n press ALT right Mousebutton : zoom the whole Scene \n press ALT "
        "left Mousebutton :  rotate the whole Scene\n press ALT +  W A S D : position the Ligth "
        "Source, marked by the yellow dot \n press ALT + R F : the altitude of the Light Source "
        "\n\n"
        " Mouse wheel : zoom\n"
        " right Mousebutton : rotate the whole Scene (3D)\n"
        " middle Mousebutton : move the whole Scene\n"
        " click left Mousebutton : pick the vertex or edge under the pointer\n"
        " drag left Mousebutton : pick continuously\n"
        " Home or F : fit the whole graph into the picture (View > Fit View)\n"
        " Ctrl+F : find a vertex by name\n"
        " Ctrl+O : open a file, Ctrl+Shift+O : open a source folder, Ctrl+S : save a screenshot,\n"
        " Ctrl+Shift+S : save the graph as RSF or XML, Ctrl+Q : quit, F1 : this help\n"
        " Drop a .rsf or .xml file, or a source folder, on the window to open it\n");
}

void MainWindow::start(const StartOptions& options) {
    // Pictures taken from the command line show the start values and the options given, so
    // that they come out the same on every machine; only interactive runs remember settings.
    m_remembers = options.screenshot.isEmpty();
    if (m_remembers) {
        Preferences::restoreRenderChoices(g_renderStates);
        showRenderStates();
        restoreGeometry(Preferences::windowGeometry());
    }
    m_openRequest.patterns.clear();
    const QStringList patterns =
        options.exclude.isEmpty() && m_remembers ? Preferences::excludePatterns() : options.exclude;
    for (const QString& pattern : patterns) m_openRequest.patterns.push_back(pattern.toStdString());
    m_openRequest.passOverRootPatterns = options.exclude.isEmpty();
    m_openRequest.depth = options.depth == -2 ? ShownRequest::kOverview : options.depth;
    m_opener->setShownRequest(m_openRequest);
    m_shownControls->showPatterns(patterns);
    applyStartOptions(options);
    const QString file = options.file, screenshot = options.screenshot;
    if (file.isEmpty()) {
        show();
        return;
    }
    // An interactive run opens its file in the background, once the window shows.
    if (screenshot.isEmpty()) {
        show();
        QTimer::singleShot(0, this, [this, file] { openInBackground(file); });
        return;
    }
    // A picture's graph is read and laid out while the window and its drawing surface come up;
    // it is shown once the surface has its context. Without a thread to spare it opens then.
    auto opening = std::make_shared<std::future<OpenedGraph>>();
    QElapsedTimer clock;
    clock.start();
    auto open = [path = QFile::encodeName(file).toStdString(), request = m_openRequest] {
        return GraphOpening::open(path, {}, nullptr, {}, &request);
    };
    try {
        *opening = std::async(std::launch::async, open);
    } catch (const std::system_error&) {
        *opening = std::async(std::launch::deferred, open);
    }
    show();
    QTimer::singleShot(0, this, [this, file, screenshot, opening, clock] {
        takeScreenshotOf(file, *opening, clock, screenshot);
    });
}

void MainWindow::takeScreenshotOf(const QString& fileName, std::future<OpenedGraph>& opening,
                                  const QElapsedTimer& clock, const QString& outFile) {
    QString error;
    bool shown = false;
    try {
        OpenedGraph opened = opening.get();
        shown = adoptOpened(fileName, opened, clock.elapsed(), &error);
    } catch (const std::exception& failure) {
        // The opening reports its own errors; anything else still names the file.
        error = fileName + ": " + QString::fromLocal8Bit(failure.what());
    }
    if (!shown) {
        std::cerr << error.toStdString() << '\n';
        QCoreApplication::exit(1);
        return;
    }
    takeScreenshot(outFile);
}

void MainWindow::applyStartOptions(const StartOptions& options) {
    // The command line writes the settings, and the controls show what it chose.
    RenderStates& states = g_renderStates;
    if (options.mode2D) states.mode3D = false;
    if (options.view >= 0) {
        states.viewType = options.view;
        if (options.view == 2 || options.view == 3) states.stripTreemap = options.view - 2;
    }
    if (options.blend >= 0) states.blendMethod = options.blend;
    // In the slider's steps, as if it had been moved there.
    if (options.beta >= 0) states.beta = qRound(options.beta * 1000) / 1000.0f;
    const QStringList& hide = options.hide;
    const char* drawn[] = {"vertices", "hierarchy", "relations", "grid"};
    for (int bit = 0; bit < 4; ++bit) {
        if (hide.contains(drawn[bit])) states.drawMask &= ~(1 << bit);
    }
    if (hide.contains("shadow")) states.shadow = false;
    if (hide.contains("overlay")) states.overlay = false;
    showRenderStates();
    if (hide.contains("labels")) m_shownControls->labelsBox()->setChecked(false);
    // Pictures taken for files and tests have a known size, whatever the screen.
    const QSize surface = options.size.isValid() ? options.size : QSize(1024, 768);
    if (!options.screenshot.isEmpty()) {
        openGLWidget->setFixedSize(surface);
        openGLWidget->drawFramesWhole();
    } else if (options.size.isValid()) {
        resize(size() + options.size - openGLWidget->size());
    }
}

void MainWindow::takeScreenshot(const QString& outFile) {
    // Saved once a frame shows the graph and every setting made so far; a picture whose graph
    // did not fit in memory is not saved at all.
    auto save = [this, outFile] {
        if (openGLWidget->lacksGraphicsMemory()) {
            std::cerr << "No screenshot saved: the graph is not all in the picture\n";
            QCoreApplication::exit(1);
            return;
        }
        if (openGLWidget->drawingBroken()) {
            std::cerr << "No screenshot saved: the picture cannot be drawn as it should\n";
            QCoreApplication::exit(1);
            return;
        }
        QString error;
        const bool saved = savePicture(outFile, &error);
        if (!saved) std::cerr << error.toStdString() << '\n';
        QCoreApplication::exit(saved ? 0 : 1);
    };
    if (openGLWidget->showsCurrentState()) {
        QTimer::singleShot(0, this, save);
        return;
    }
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection =
        connect(openGLWidget, &QOpenGLWidget::frameSwapped, this, [this, connection, save] {
            if (!openGLWidget->showsCurrentState()) return;
            disconnect(*connection);
            save();
        });
}

// The slots of the panel's controls, for callers other than the controls themselves: each stores
// its value as the control's row of the table does.
void MainWindow::Mode3D(bool value) { m_bindings->store(mode3DBox, value); }

void MainWindow::SetViewToRooted(bool value) { m_bindings->store(rootedTreeButton, value); }

void MainWindow::SetViewToBallon(bool value) { m_bindings->store(balloonTreeButton, value); }

void MainWindow::SetViewToTreeMap(bool value) { m_bindings->store(treemapButton, value); }

void MainWindow::DrawRadialTree(bool value) { m_bindings->store(radialTreeButton, value); }

void MainWindow::EnableBlending(bool value) { m_bindings->store(blendingGroup, value); }

void MainWindow::SetStandardBlending(bool value) { m_bindings->store(standardBlendButton, value); }

void MainWindow::SetMinMaxBlending(bool value) { m_bindings->store(minMaxBlendButton, value); }

void MainWindow::SetStandardMinMaxBlending(bool value) {
    m_bindings->store(standardMinMaxBlendButton, value);
}

void MainWindow::SetAverageWeightingBlending(bool value) {
    m_bindings->store(averageBlendButton, value);
}

void MainWindow::SetSummedAverageBlending(bool value) {
    m_bindings->store(summedBlendButton, value);
}

void MainWindow::EnableLight(bool value) { m_bindings->store(lightingGroup, value); }

void MainWindow::EnablePointLight(bool value) { m_bindings->store(pointLightButton, value); }

void MainWindow::EnableConicLight(bool value) { m_bindings->store(conicLightButton, value); }

void MainWindow::EnableSpotLight(bool value) { m_bindings->store(spotLightButton, value); }

void MainWindow::EnableShadow(bool value) { m_bindings->store(shadowGroup, value); }

void MainWindow::SetVertexInShadow(bool value) { m_bindings->store(vertexShadowBox, value); }

void MainWindow::SetHierarchyEdgeInShadow(bool value) {
    m_bindings->store(hierarchyShadowBox, value);
}

void MainWindow::SetRelationEdgeInShadow(bool value) {
    m_bindings->store(relationShadowBox, value);
}

void MainWindow::SetGridInShadow(bool value) { m_bindings->store(gridShadowBox, value); }

void MainWindow::DrawNodes(bool value) { m_bindings->store(drawVerticesBox, value); }

void MainWindow::DrawHierarchyEdges(bool value) { m_bindings->store(drawHierarchyBox, value); }

void MainWindow::DrawRelationEdges(bool value) { m_bindings->store(drawRelationsBox, value); }

void MainWindow::DrawGrid(bool value) { m_bindings->store(drawGridBox, value); }

void MainWindow::RotateX(int value) { m_bindings->store(rotateXSlider, value); }

void MainWindow::RotateY(int value) { m_bindings->store(rotateYSlider, value); }

void MainWindow::RotateZ(int value) { m_bindings->store(rotateZSlider, value); }

void MainWindow::Scale(int value) { m_bindings->store(scaleSlider, value); }

void MainWindow::DrawSliceAndDice(bool value) { m_bindings->store(sliceAndDiceButton, value); }

void MainWindow::DrawStrips(bool value) { m_bindings->store(stripsButton, value); }

void MainWindow::DrawCushionTexture(bool value) { m_bindings->store(cushionBox, value); }

void MainWindow::SetLightRadius(int value) { m_bindings->store(lightRadiusSlider, value); }

void MainWindow::SetLightAttenuate(int value) { m_bindings->store(lightAttenuationSlider, value); }

void MainWindow::RelationAlpha(int value) { m_bindings->store(relationAlphaSlider, value); }

void MainWindow::MirrorRelationEdges(bool value) { g_renderStates.mirrorRelationEdges = value; }

void MainWindow::SphereColorChanged(const QString& name) {
    m_bindings->store(vertexColorBox, static_cast<int>(QColor(name).rgba()));
}

void MainWindow::HierarchyColorChanged(const QString& name) {
    m_bindings->store(hierarchyColorBox, static_cast<int>(QColor(name).rgba()));
}

void MainWindow::RelationStartColorChanged(const QString& name) {
    m_bindings->store(relationStartColorBox, static_cast<int>(QColor(name).rgba()));
}

void MainWindow::RelationEndColorChanged(const QString& name) {
    m_bindings->store(relationEndColorBox, static_cast<int>(QColor(name).rgba()));
}

void MainWindow::SelectionColorChanged(const QString& name) {
    m_bindings->store(selectionColorBox, static_cast<int>(QColor(name).rgba()));
}

// The slider drives beta live: straightening every curve again costs about 80 ms for a million.
void MainWindow::SetBeta(int value) { m_beta = value / 1000.0f; }

void MainWindow::BetaChanged() { m_bindings->store(betaSlider, qRound(m_beta * 1000)); }

void MainWindow::addShownActions() {
    m_reshow = new BackgroundReshow(this);
    connect(m_reshow, &BackgroundReshow::finished, this, &MainWindow::reshowDone);
    m_shownControls = new ShownControls(drawObjectsGroup);
    connect(m_shownControls, &ShownControls::depthChosen, this, &MainWindow::setDepth);
    connect(m_shownControls, &ShownControls::patternsApplied, this,
            &MainWindow::setExcludePatterns);
    m_labels = new VertexLabels(openGLWidget);
    connect(m_shownControls, &ShownControls::labelsToggled, this, [this](bool on) {
        m_labels->setEnabled(on);
        openGLWidget->requestFrame();
    });
    QAction* expandAllAction = menuView->addAction(tr("Expand All"), this, &MainWindow::expandAll);
    expandAllAction->setObjectName("actionExpandAll");
    expandAllAction->setShortcut(Qt::Key_E);
    QAction* focusAction = menuView->addAction(tr("Focus"), this, &MainWindow::toggleFocus);
    focusAction->setObjectName("actionFocus");
    focusAction->setShortcut(Qt::Key_Space);
    connect(openGLWidget, &OpenGLWidget::vertexDoubleClicked, this, &MainWindow::toggleCollapsed);
    connect(openGLWidget, &OpenGLWidget::vertexMenuRequested, this, &MainWindow::showVertexMenu);
}

uint32_t MainWindow::originalOf(uint32_t shownId) const {
    return m_shown ? m_shown->originalId(shownId) : shownId;
}

std::vector<uint8_t> MainWindow::collapsedFlags() const {
    std::vector<uint8_t> flags(m_full ? m_full->vertexCount() : 0, 0);
    for (uint32_t id : latestRequest().collapsed) {
        if (id < flags.size()) flags[id] = 1;
    }
    return flags;
}

void MainWindow::reshowCollapsed(const std::vector<uint8_t>& flags) {
    ShownRequest request;
    request.patterns = latestRequest().patterns;
    request.depth = ShownRequest::kCustom;
    request.useCollapsed = true;
    for (uint32_t id = 0; id < flags.size(); ++id) {
        if (flags[id]) request.collapsed.push_back(id);
    }
    reshow(std::move(request));
}

void MainWindow::reshow(ShownRequest request) {
    if (!m_full) return;
    m_reshow->reshow(m_full, request);
    m_asked = std::move(request);
}

const ShownRequest& MainWindow::latestRequest() const {
    // A set of collapsed vertices still being laid out is what the next action builds on; a
    // depth asked for has its set only once it is laid out.
    return m_reshow->busy() && m_asked.useCollapsed ? m_asked : m_request;
}

void MainWindow::reshowDone(std::shared_ptr<OpenedGraph> opened, qint64 elapsed) {
    // A part of a graph replaced meanwhile by another file is of no use.
    if (opened->ok() && opened->full != m_full) return;
    if (!opened->ok()) {
        const QString error = QString::fromStdString(opened->error);
        emit reshowFinished(error);
        if (m_remembers) QMessageBox::critical(this, tr("Error Message"), error);
        return;
    }
    if (m_focus) toggleFocus();
    openGLWidget->keepCameraOnNextView();
    if (!adopt(*opened)) {
        // The surface has told the user why; the part on screen stays.
        emit reshowFinished(tr("there is not enough graphics memory to show it"));
        return;
    }
    trace() << "shown part laid out in " << elapsed << " ms\n";
    // Patterns that worked are those the next files open with.
    rememberPatterns(m_request.patterns);
    m_shownControls->showDepth(m_request.depth);
    showShownInfo();
    if (m_selectAfterReshow != UINT32_MAX && m_shown) {
        const uint32_t shownId = m_shown->shownOf(m_selectAfterReshow);
        if (shownId != ShownGraph::kNone) showFoundVertex(*openGLWidget, shownId);
    }
    m_selectAfterReshow = UINT32_MAX;
    emit reshowFinished(QString());
}

void MainWindow::showShownInfo() {
    if (!m_full || !m_shown) {
        m_shownText->clear();
        return;
    }
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QString shown = QString("%1 of %2 vertices shown")
                              .arg(english.toString(qulonglong(m_shown->shownCount())),
                                   english.toString(qulonglong(m_full->vertexCount())));
    m_shownText->setText(m_request.depth >= 0
                             ? QString("collapsed to depth %1: %2").arg(m_request.depth).arg(shown)
                             : shown);
}

void MainWindow::toggleCollapsed(uint32_t shownId) {
    if (m_shown && shownId < m_shown->shownCount() && m_shown->hiddenDescendants(shownId) > 0) {
        expandVertex(shownId, false);
    } else {
        collapseVertex(shownId);
    }
}

void MainWindow::collapseVertex(uint32_t shownId) {
    if (!m_full || shownId >= graph()->vertexCount()) return;
    const uint32_t original = originalOf(shownId);
    const VertexPtr vertex = m_full->getVertex(original);
    if (!vertex || vertex->getChildCount() == 0) return;
    std::vector<uint8_t> flags = collapsedFlags();
    flags[original] = 1;
    reshowCollapsed(flags);
}

void MainWindow::expandVertex(uint32_t shownId, bool allBelow) {
    if (!m_full || shownId >= graph()->vertexCount()) return;
    const VertexPtr vertex = m_full->getVertex(originalOf(shownId));
    if (!vertex) return;
    std::vector<uint8_t> flags = collapsedFlags();
    flags[vertex->getId()] = 0;
    // One level: the children with children of their own come collapsed. All below: nothing
    // under the vertex stays collapsed.
    std::vector<const Vertex*> pending{vertex.get()};
    while (!pending.empty()) {
        const Vertex* next = pending.back();
        pending.pop_back();
        for (const VertexPtr& child : next->children()) {
            if (child->getChildCount() == 0) continue;
            flags[child->getId()] = allBelow ? 0 : 1;
            if (allBelow) pending.push_back(child.get());
        }
    }
    reshowCollapsed(flags);
}

void MainWindow::collapseLevel(uint32_t shownId) {
    if (!m_full || shownId >= graph()->vertexCount()) return;
    const VertexPtr vertex = m_full->getVertex(originalOf(shownId));
    if (!vertex) return;
    std::vector<uint8_t> flags = collapsedFlags();
    for (uint32_t id : OverviewDepth::collapsedAt(*m_full, vertex->getLevel())) flags[id] = 1;
    reshowCollapsed(flags);
}

void MainWindow::expandAll() { setDepth(-1); }

void MainWindow::setDepth(int depth) {
    ShownRequest request;
    request.patterns = latestRequest().patterns;
    request.depth = depth < 0 ? ShownRequest::kAll : depth;
    reshow(std::move(request));
}

void MainWindow::setExcludePatterns(const QStringList& patterns) {
    std::vector<std::string> list;
    for (const QString& pattern : patterns) list.push_back(pattern.toStdString());
    if (!m_full) {
        rememberPatterns(list);
        return;
    }
    ShownRequest request = latestRequest();
    request.patterns = std::move(list);
    reshow(std::move(request));
}

void MainWindow::rememberPatterns(const std::vector<std::string>& patterns) {
    if (m_openRequest.patterns == patterns) return;
    m_openRequest.patterns = patterns;
    m_opener->setShownRequest(m_openRequest);
    if (!m_remembers) return;
    QStringList list;
    for (const std::string& pattern : patterns) list << QString::fromStdString(pattern);
    Preferences::setExcludePatterns(list);
}

void MainWindow::toggleFocus() {
    float* alphas[2] = {&g_renderStates.relationStartColor[3], &g_renderStates.relationEndColor[3]};
    if (m_focus) {
        m_focus = false;
        for (int i = 0; i < 2; ++i) *alphas[i] = m_unfocusedAlpha[i];
        openGLWidget->requestFrame();
        return;
    }
    if (openGLWidget->renderer()->selection().m_type != Selection::VERTEX) return;
    // The selected vertex's edges keep their own opaque colours; the rest fade to a trace.
    m_focus = true;
    for (int i = 0; i < 2; ++i) {
        m_unfocusedAlpha[i] = *alphas[i];
        *alphas[i] = kFocusTraceAlpha;
    }
    openGLWidget->requestFrame();
}

void MainWindow::showOriginalVertex(uint32_t originalId) {
    if (!m_full || originalId >= m_full->vertexCount()) return;
    // The keys that act on the found vertex (Space, E, F) go to the picture from now on.
    openGLWidget->setFocus();
    if (!m_shown) {
        showFoundVertex(*openGLWidget, originalId);
        return;
    }
    const uint32_t shownId = m_shown->shownOf(originalId);
    if (shownId == ShownGraph::kNone) {
        m_statusText->setText(
            tr("%1 is excluded")
                .arg(QString::fromStdString(m_full->getVertex(originalId)->getName())));
        return;
    }
    if (m_shown->originalId(shownId) == originalId) {
        showFoundVertex(*openGLWidget, shownId);
        return;
    }
    // Open the collapsed vertices on its path one level each: their other children come
    // collapsed, so that finding a vertex shows its neighbourhood, not whole subtrees.
    std::vector<uint8_t> flags = collapsedFlags();
    const std::vector<uint32_t>& path = m_full->getVertex(originalId)->pathToRoot();
    for (size_t k = path.size(); k-- > 1;) {
        const uint32_t ancestor = path[k];
        // Open ancestors shown as themselves stay as they are; hidden ones were flagged by the
        // pass over their parent.
        if (!flags[ancestor] && m_shown->originalId(m_shown->shownOf(ancestor)) == ancestor) {
            continue;
        }
        flags[ancestor] = 0;
        for (const VertexPtr& child : m_full->getVertex(ancestor)->children()) {
            if (child->getChildCount() > 0) flags[child->getId()] = 1;
        }
    }
    for (size_t k = 1; k < path.size(); ++k) flags[path[k]] = 0;
    m_selectAfterReshow = originalId;
    reshowCollapsed(flags);
}

void MainWindow::showVertexMenu(uint32_t shownId, const QPoint& globalPosition) {
    QMenu menu(this);
    menu.setObjectName("vertexMenu");
    const bool hides =
        m_shown && shownId < m_shown->shownCount() && m_shown->hiddenDescendants(shownId) > 0;
    const VertexPtr vertex = m_full ? m_full->getVertex(originalOf(shownId)) : VertexPtr();
    const bool hasChildren = vertex && vertex->getChildCount() > 0;
    menu.addAction(tr("Collapse"), this, [this, shownId] { collapseVertex(shownId); })
        ->setEnabled(hasChildren && !hides);
    menu.addAction(tr("Expand"), this, [this, shownId] { expandVertex(shownId, false); })
        ->setEnabled(hides);
    menu.addAction(tr("Expand All Below"), this, [this, shownId] { expandVertex(shownId, true); })
        ->setEnabled(hasChildren);
    menu.addAction(tr("Collapse Level"), this, [this, shownId] { collapseLevel(shownId); });
    menu.exec(globalPosition);
}
