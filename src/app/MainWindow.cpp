#include "MainWindow.h"

#include "BackgroundOpen.h"
#include "EdgeColorControls.h"
#include "FoundVertex.h"
#include "GraphStore.h"
#include "GraphWriter.h"
#include "Preferences.h"
#include "RenderStates.h"
#include "Trace.h"
#include "VectorPicture.h"
#include "VertexFinder.h"

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
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace {

void toggleBit(int32_t& mask, int32_t bit, bool on) { mask += on ? bit : -bit; }

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
    connect(cb_color, &QComboBox::textActivated, this, &MainWindow::SphereColorChanged);
    connect(cb_hierarchyColor, &QComboBox::textActivated, this, &MainWindow::HierarchyColorChanged);
    connect(cb_relationStartColor, &QComboBox::textActivated, this,
            &MainWindow::RelationStartColorChanged);
    connect(cb_relationEndColor, &QComboBox::textActivated, this,
            &MainWindow::RelationEndColorChanged);
    connect(cb_selectionColor, &QComboBox::textActivated, this, &MainWindow::SelectionColorChanged);
    // Finding a vertex by name, and the colours of a selected vertex's relation edges.
    auto* finder = new VertexFinder(this);
    menuBar()->setCornerWidget(finder);
    connect(this, &MainWindow::setView, finder, [this, finder] { finder->setGraph(graph()); });
    connect(finder, &VertexFinder::vertexChosen, this,
            [this](uint32_t id) { showFoundVertex(*openGLWidget, id); });
    m_edgeColors = new EdgeColorControls(cb_selectionColor);
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

namespace {

// The item of a colour box that shows color; a colour without a name gets an item of its own.
void showColor(ColorChooser* box, const float* rgba) {
    const QColor color = QColor::fromRgbF(rgba[0], rgba[1], rgba[2]);
    // Some colours have two names ("aqua" and "cyan"): the one shown stays.
    if (box->currentIndex() >= 0 && box->color() == color) return;
    box->setColor(color);
    if (box->currentIndex() >= 0) return;
    box->addItem(color.name());
    box->setItemData(box->count() - 1, color, Qt::DecorationRole);
    box->setCurrentIndex(box->count() - 1);
}

void check(QAbstractButton* button, bool on) {
    const QSignalBlocker block(button);
    button->setChecked(on);
}

void check(QGroupBox* box, bool on) {
    const QSignalBlocker block(box);
    box->setChecked(on);
}

void setValue(QSlider* slider, int value) {
    const QSignalBlocker block(slider);
    slider->setValue(value);
}

}  // namespace

void MainWindow::showViewType() {
    const int view = g_renderStates.viewType;
    QRadioButton* layouts[5] = {rb_rootedtree, rb_ballontree, rb_treemap, rb_treemap,
                                radioButton_11};
    // Checking one button of an exclusive set unchecks the others, whose slots ignore false.
    if (view >= 0 && view < 5) check(layouts[view], true);
    check(g_renderStates.stripTreemap == 0 ? radioButton_9 : radioButton_10, true);
    // Only the balloon tree and the treemaps have a grid; only the treemaps have a type.
    checkBox_8->setEnabled(view >= 1 && view <= 3);
    groupBox_7->setEnabled(view == 2 || view == 3);
}

void MainWindow::showRenderStates() {
    const RenderStates& s = g_renderStates;
    showViewType();
    check(checkBox, s.mode3D);
    check(checkBox_2, s.drawMask & 1);
    check(checkBox_6, s.drawMask & 2);
    check(checkBox_7, s.drawMask & 4);
    check(checkBox_8, s.drawMask & 8);
    setValue(horizontalSlider_7, qRound(s.beta * 1000));
    m_beta = s.beta;
    setValue(horizontalSlider, s.rotationX);
    setValue(horizontalSlider_2, s.rotationY);
    setValue(horizontalSlider_3, s.rotationZ);
    setValue(horizontalSlider_4, s.scale);
    check(checkBox_9, s.cushion);
    check(groupBox_4, s.blending);
    QRadioButton* methods[5] = {radioButton, radioButton_2, radioButton_6, radioButton_7,
                                radioButton_8};
    if (s.blendMethod >= 0 && s.blendMethod < 5) check(methods[s.blendMethod], true);
    check(groupBox_2, s.lighting);
    QRadioButton* lights[3] = {radioButton_5, radioButton_4, radioButton_3};
    if (s.lightType >= 0 && s.lightType < 3) check(lights[s.lightType], true);
    setValue(horizontalSlider_5, s.lightRadius);
    setValue(horizontalSlider_6, s.lightAttenuation);
    check(groupBox, s.shadow);
    check(checkBox_3, s.shadowMask & 1);
    check(checkBox_4, s.shadowMask & 2);
    check(checkBox_5, s.shadowMask & 4);
    check(checkBox_10, s.shadowMask & 8);
    showColor(cb_color, s.vertexColor);
    showColor(cb_hierarchyColor, s.hierarchyColor);
    showColor(cb_relationStartColor, s.relationStartColor);
    showColor(cb_relationEndColor, s.relationEndColor);
    showColor(cb_selectionColor, s.selectionColor);
    showColor(m_edgeColors->outgoing(), s.outgoingEdgeColor);
    showColor(m_edgeColors->incoming(), s.incomingEdgeColor);
    setValue(horizontalSlider_8, qRound(s.relationEndColor[3] * 100));
}

MainWindow::~MainWindow() {
    // Before the dialog and the graph go; an opening still running stops at its next phase.
    m_opener->stop();
    if (g_graph == m_graph.get()) g_graph = nullptr;
}

bool MainWindow::openFile(const QString& fileName, QString* error) {
    // One opening at a time: this one replaces any running in the background.
    m_opener->stop();
    QElapsedTimer clock;
    clock.start();
    OpenedGraph opened = GraphOpening::open(QFile::encodeName(fileName).toStdString());
    if (!opened.ok()) {
        if (error) *error = QString::fromStdString(opened.error);
        return false;
    }
    if (!adopt(opened)) {
        if (error) *error = tr("%1: there is not enough graphics memory to show it").arg(fileName);
        return false;
    }
    showFileInfo(withFolderName(fileName), clock.elapsed());
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
    std::unique_ptr<GraphStore> previousGraph = std::move(m_graph);
    const std::array<View*, 5> previousViews = m_views;
    m_graph = std::move(opened.graph);
    g_graph = m_graph.get();
    for (int i = 0; i < 5; ++i) m_views[i] = opened.views[i].get();
    openGLWidget->adoptCurveControls(std::move(opened.curves));
    if (!openGLWidget->setView(m_views.data())) {
        // The surface kept drawing the graph it had; so does everything else.
        m_views = previousViews;
        std::swap(m_graph, previousGraph);
        g_graph = m_graph.get();
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
    const GraphStore& g = *m_graph;
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
    if (!m_graph) return;
    const QString rsf = tr("RSF files (*.rsf)"), xml = tr("XML files (*.xml)");
    QString filter = rsf;
    QString fileName = QFileDialog::getSaveFileName(
        this, tr("Save Graph As"), Preferences::lastFolder(), rsf + ";;" + xml, &filter);
    if (fileName.isEmpty()) return;
    // The format follows the suffix; a name typed without one takes the chosen filter's.
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix != "rsf" && suffix != "xml") fileName += filter == xml ? ".xml" : ".rsf";
    const std::string problem =
        GraphWriter::writeFile(*m_graph, QFile::encodeName(fileName).toStdString());
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
    if (!grabSurface().save(fileName)) {
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
    if (grabSurface().save(fileName)) return true;
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
    applyStartOptions(options);
    show();
    if (options.file.isEmpty()) return;
    const QString file = options.file, screenshot = options.screenshot;
    // An interactive run opens its file in the background, once the window shows; a picture
    // waits for its graph.
    if (screenshot.isEmpty()) {
        QTimer::singleShot(0, this, [this, file] { openInBackground(file); });
        return;
    }
    // Open once the window shows, so the drawing surface has its context.
    QTimer::singleShot(0, this, [this, file, screenshot] {
        QString error;
        // Memory running out while the file opens is one of the errors openFile reports.
        if (!openFile(file, &error)) {
            std::cerr << error.toStdString() << '\n';
            QCoreApplication::exit(1);
            return;
        }
        takeScreenshot(screenshot);
    });
}

void MainWindow::applyStartOptions(const StartOptions& options) {
    // Through the controls, so that they show what the command line chose.
    if (options.mode2D) checkBox->setChecked(false);
    if (options.view >= 0) {
        QRadioButton* buttons[5] = {rb_rootedtree, rb_ballontree, radioButton_9, radioButton_10,
                                    radioButton_11};
        if (options.view == 2 || options.view == 3) rb_treemap->setChecked(true);
        buttons[options.view]->setChecked(true);
        g_renderStates.viewType = options.view;
        showViewType();
    }
    if (options.blend >= 0) {
        QRadioButton* methods[5] = {radioButton, radioButton_2, radioButton_6, radioButton_7,
                                    radioButton_8};
        methods[options.blend]->setChecked(true);
    }
    if (options.beta >= 0) horizontalSlider_7->setValue(qRound(options.beta * 1000));
    const QStringList& hide = options.hide;
    if (hide.contains("vertices")) checkBox_2->setChecked(false);
    if (hide.contains("hierarchy")) checkBox_6->setChecked(false);
    if (hide.contains("relations")) checkBox_7->setChecked(false);
    if (hide.contains("grid")) checkBox_8->setChecked(false);
    if (hide.contains("shadow")) groupBox->setChecked(false);
    if (hide.contains("overlay")) g_renderStates.overlay = false;
    // Pictures taken for files and tests have a known size, whatever the screen.
    const QSize surface = options.size.isValid() ? options.size : QSize(1024, 768);
    if (!options.screenshot.isEmpty()) {
        openGLWidget->setFixedSize(surface);
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

void MainWindow::Mode3D(bool value) { g_renderStates.mode3D = value; }

void MainWindow::SetViewToRooted(bool value) {
    trace() << "SET VIEW TO SetViewToRooted\n";
    if (!value) return;
    g_renderStates.viewType = 0;
    showViewType();
}

void MainWindow::SetViewToBallon(bool value) {
    trace() << "SET VIEW TO BALLON\n";
    if (!value) return;
    g_renderStates.viewType = 1;
    showViewType();
}

void MainWindow::SetViewToTreeMap(bool value) {
    if (!value) return;
    g_renderStates.viewType = 2 + g_renderStates.stripTreemap;
    showViewType();
}

void MainWindow::DrawRadialTree(bool value) {
    if (!value) return;
    g_renderStates.viewType = 4;
    showViewType();
}

void MainWindow::EnableBlending(bool value) { g_renderStates.blending = value; }

void MainWindow::SetStandardBlending(bool value) {
    if (value) g_renderStates.blendMethod = 0;
}

void MainWindow::SetMinMaxBlending(bool value) {
    if (value) g_renderStates.blendMethod = 1;
}

void MainWindow::SetStandardMinMaxBlending(bool value) {
    if (value) g_renderStates.blendMethod = 2;
}

void MainWindow::SetAverageWeightingBlending(bool value) {
    if (value) g_renderStates.blendMethod = 3;
}

void MainWindow::SetSummedAverageBlending(bool value) {
    if (value) g_renderStates.blendMethod = 4;
}

void MainWindow::EnableLight(bool value) { g_renderStates.lighting = value; }

void MainWindow::EnablePointLight(bool value) {
    if (value) g_renderStates.lightType = 0;
}

void MainWindow::EnableConicLight(bool value) {
    if (value) g_renderStates.lightType = 1;
}

void MainWindow::EnableSpotLight(bool value) {
    if (value) g_renderStates.lightType = 2;
}

void MainWindow::EnableShadow(bool value) { g_renderStates.shadow = value; }

void MainWindow::SetVertexInShadow(bool value) {
    toggleBit(g_renderStates.shadowMask, 1, value);
    trace() << "RenderStates Shadow: " << g_renderStates.shadowMask << '\n';
}

void MainWindow::SetHierarchyEdgeInShadow(bool value) {
    toggleBit(g_renderStates.shadowMask, 2, value);
    trace() << "RenderStates Shadow: " << g_renderStates.shadowMask << '\n';
}

void MainWindow::SetRelationEdgeInShadow(bool value) {
    toggleBit(g_renderStates.shadowMask, 4, value);
    trace() << "RenderStates Shadow: " << g_renderStates.shadowMask << '\n';
}

void MainWindow::SetGridInShadow(bool value) {
    toggleBit(g_renderStates.shadowMask, 8, value);
    trace() << "RenderStates Shadow: " << g_renderStates.shadowMask << '\n';
}

void MainWindow::DrawNodes(bool value) { toggleBit(g_renderStates.drawMask, 1, value); }

void MainWindow::DrawHierarchyEdges(bool value) { toggleBit(g_renderStates.drawMask, 2, value); }

void MainWindow::DrawRelationEdges(bool value) { toggleBit(g_renderStates.drawMask, 4, value); }

void MainWindow::DrawGrid(bool value) {
    toggleBit(g_renderStates.drawMask, 8, value);
    trace() << "DrawGrid: " << g_renderStates.drawMask << '\n';
}

void MainWindow::RotateX(int value) { g_renderStates.rotationX = value; }

void MainWindow::RotateY(int value) { g_renderStates.rotationY = value; }

void MainWindow::RotateZ(int value) { g_renderStates.rotationZ = value; }

void MainWindow::Scale(int value) { g_renderStates.scale = value; }

void MainWindow::DrawSliceAndDice(bool value) {
    if (!value) return;
    g_renderStates.stripTreemap = 0;
    g_renderStates.viewType = 2;
    showViewType();
}

void MainWindow::DrawStrips(bool value) {
    if (!value) return;
    g_renderStates.stripTreemap = 1;
    g_renderStates.viewType = 3;
    showViewType();
}

void MainWindow::DrawCushionTexture(bool value) { g_renderStates.cushion = value; }

void MainWindow::SetLightRadius(int value) { g_renderStates.lightRadius = value; }

void MainWindow::SetLightAttenuate(int value) { g_renderStates.lightAttenuation = value; }

void MainWindow::MirrorRelationEdges(bool value) { g_renderStates.mirrorRelationEdges = value; }

void MainWindow::SphereColorChanged(const QString& name) {
    ColorChooser::storeColor(name, g_renderStates.vertexColor, true);
}

void MainWindow::HierarchyColorChanged(const QString& name) {
    const QColor color(name);
    ColorChooser::storeColor(name, g_renderStates.hierarchyColor, true);
    const float* c = g_renderStates.hierarchyColor;
    trace() << "- hierarchicColor: " << color.red() << ' ' << color.green() << ' ' << color.blue()
            << '\n';
    trace() << "+ hierarchicColor: " << c[0] << ' ' << c[1] << ' ' << c[2] << '\n';
}

void MainWindow::RelationStartColorChanged(const QString& name) {
    ColorChooser::storeColor(name, g_renderStates.relationStartColor, false);
    g_renderStates.relationStartColor[3] = g_renderStates.relationEndColor[3];
}

void MainWindow::RelationEndColorChanged(const QString& name) {
    ColorChooser::storeColor(name, g_renderStates.relationEndColor, false);
}

void MainWindow::SelectionColorChanged(const QString& name) {
    ColorChooser::storeColor(name, g_renderStates.selectionColor, true);
}

void MainWindow::RelationAlpha(int value) {
    g_renderStates.relationStartColor[3] = value / 100.0f;
    g_renderStates.relationEndColor[3] = value / 100.0f;
}

// The slider drives beta live: straightening every curve again costs about 80 ms for a million.
void MainWindow::SetBeta(int value) { m_beta = value / 1000.0f; }

void MainWindow::BetaChanged() { g_renderStates.beta = m_beta; }
