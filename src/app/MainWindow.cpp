#include "MainWindow.h"

#include "BallonTree.h"
#include "EdgeColorControls.h"
#include "FoundVertex.h"
#include "GraphLoader.h"
#include "GraphStore.h"
#include "RadialTree.h"
#include "RenderStates.h"
#include "RootedTree.h"
#include "Trace.h"
#include "TreeMap.h"
#include "VertexFinder.h"

#include <QColor>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <iostream>

namespace {

void copyColor(const QString& name, float* target, bool withAlpha) {
    const QColor color(name);
    target[0] = color.red() / 255.0f;
    target[1] = color.green() / 255.0f;
    target[2] = color.blue() / 255.0f;
    if (withAlpha) target[3] = color.alpha() / 255.0f;
}

void toggleBit(int32_t& mask, int32_t bit, bool on) { mask += on ? bit : -bit; }

}  // namespace

MainWindow::MainWindow() : QMainWindow(nullptr) {
    setupUi(this);
    connect(actionOpen, &QAction::triggered, this, &MainWindow::openFileDialog);
    connect(actionSave, &QAction::triggered, this, &MainWindow::saveFileDialog);
    connect(actionSteuerung, &QAction::triggered, this, &MainWindow::controlDialog);
    connect(actionAbout, &QAction::triggered, this, &MainWindow::aboutDialog);
    connect(this, &MainWindow::setView, openGLWidget, &OpenGLWidget::setView);
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
    new EdgeColorControls(cb_selectionColor);
}

MainWindow::~MainWindow() {
    if (g_graph == m_graph.get()) g_graph = nullptr;
}

bool MainWindow::openFile(const QString& fileName, QString* error) {
    LoadResult loaded = GraphLoader::load(QFile::encodeName(fileName).toStdString());
    if (!loaded.ok()) {
        if (error) *error = QString::fromStdString(loaded.error);
        return false;
    }
    // The layouts read the graph through g_graph, so it is published first.
    std::unique_ptr<GraphStore> previousGraph = std::move(m_graph);
    m_graph = std::move(loaded.graph);
    g_graph = m_graph.get();
    trace() << "calculate tree\n";

    std::array<std::unique_ptr<View>, 5> views;
    views[0] = std::make_unique<RootedTree>();
    views[0]->calculate();
    trace() << "rootedtree calculated\n";
    views[1] = std::make_unique<BallonTree>();
    views[1]->calculate();
    trace() << "ballontree calculated\n";
    views[2] = std::make_unique<TreeMap>(0);
    views[2]->calculate();
    trace() << "slice and dice calculated\n";
    views[3] = std::make_unique<TreeMap>(1);
    views[3]->calculate();
    trace() << "treemap calculated\n";
    views[4] = std::make_unique<RadialTree>();
    views[4]->calculate();
    trace() << "radialtree calculated\n";

    for (int i = 0; i < 5; ++i) m_views[i] = views[i].get();
    emit setView(m_views.data());
    // The drawing surface has rebuilt its objects from the new views; the old ones can go.
    m_ownedViews.swap(views);
    return true;
}

void MainWindow::openFileDialog() {
    const QString fileName = QFileDialog::getOpenFileName(this, tr("Open File"), QString(),
                                                          tr("DataFiles (*.rsf *.xml)"));
    if (fileName.isNull()) return;
    QString error;
    if (!openFile(fileName, &error)) {
        QMessageBox::critical(this, tr("Error Message"), error);
    }
}

void MainWindow::saveFileDialog() {
    const QString fileName = QFileDialog::getSaveFileName(this, tr("Save Image File"), QString(),
                                                          tr("ImageFiles (*.png)"));
    if (fileName.isEmpty()) return;
    if (!grabSurface().save(fileName)) {
        QMessageBox::critical(this, "Error Message", "Could not save Image");
    } else {
        QMessageBox::information(this, "Information Message", "Screenshot saved " + fileName);
    }
}

QImage MainWindow::grabSurface() {
    // The picture's alpha holds blending leftovers, not transparency: screenshots are opaque.
    return openGLWidget->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
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
        "\n");
}

bool MainWindow::startFromCommandLine(const QStringList& arguments) {
    QString file, screenshot;
    int view = -1;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == "--2d") {
            checkBox->setChecked(false);  // the control and the render state stay in step
        } else if (arg == "--screenshot" && i + 1 < arguments.size()) {
            screenshot = arguments[++i];
        } else if (arg == "--view" && i + 1 < arguments.size()) {
            bool ok = false;
            view = arguments[++i].toInt(&ok);
            if (!ok || view < 0 || view > 4) {
                std::cerr << "ramiflex: --view takes a number from 0 to 4\n";
                return false;
            }
        } else if (!arg.startsWith("--") && file.isEmpty()) {
            file = arg;
        } else {
            std::cerr << "usage: ramiflex [FILE [--screenshot OUT.png] [--view N] [--2d]]\n";
            return false;
        }
    }
    if (file.isEmpty()) {
        if (!screenshot.isEmpty()) {
            std::cerr << "ramiflex: --screenshot needs a data file\n";
            return false;
        }
        return true;
    }
    // Open once the window shows, so the drawing surface has its context.
    QTimer::singleShot(0, this, [this, file, screenshot, view] {
        QString error;
        const bool opened = openFile(file, &error);
        if (!opened) {
            std::cerr << error.toStdString() << '\n';
            if (!screenshot.isEmpty()) {
                QCoreApplication::exit(1);
                return;
            }
            QMessageBox::critical(this, tr("Error Message"), error);
        }
        if (view >= 0) g_renderStates.viewType = view;
        if (!screenshot.isEmpty()) takeScreenshot(screenshot);
    });
    return true;
}

void MainWindow::takeScreenshot(const QString& outFile) {
    // Let a few frames pass so that colours and beta have reached the buffers.
    auto frames = std::make_shared<int>(0);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(
        openGLWidget, &QOpenGLWidget::frameSwapped, this, [this, frames, connection, outFile] {
            if (++*frames < 3) return;
            disconnect(*connection);
            const bool saved = grabSurface().save(outFile);
            if (!saved) std::cerr << "Could not save Image " << outFile.toStdString() << '\n';
            QCoreApplication::exit(saved ? 0 : 1);
        });
}

void MainWindow::Mode3D(bool value) { g_renderStates.mode3D = value; }

void MainWindow::SetViewToRooted(bool value) {
    trace() << "SET VIEW TO SetViewToRooted\n";
    if (value) g_renderStates.viewType = 0;
}

void MainWindow::SetViewToBallon(bool value) {
    trace() << "SET VIEW TO BALLON\n";
    if (value) g_renderStates.viewType = 1;
}

void MainWindow::SetViewToTreeMap(bool value) {
    if (value) g_renderStates.viewType = 2 + g_renderStates.stripTreemap;
}

void MainWindow::DrawRadialTree(bool value) {
    if (value) g_renderStates.viewType = 4;
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
}

void MainWindow::DrawStrips(bool value) {
    if (!value) return;
    g_renderStates.stripTreemap = 1;
    g_renderStates.viewType = 3;
}

void MainWindow::DrawCushionTexture(bool value) { g_renderStates.cushion = value; }

void MainWindow::SetLightRadius(int value) { g_renderStates.lightRadius = value; }

void MainWindow::SetLightAttenuate(int value) { g_renderStates.lightAttenuation = value; }

void MainWindow::MirrorRelationEdges(bool value) { g_renderStates.mirrorRelationEdges = value; }

void MainWindow::SphereColorChanged(const QString& name) {
    copyColor(name, g_renderStates.vertexColor, true);
}

void MainWindow::HierarchyColorChanged(const QString& name) {
    const QColor color(name);
    copyColor(name, g_renderStates.hierarchyColor, true);
    const float* c = g_renderStates.hierarchyColor;
    trace() << "- hierarchicColor: " << color.red() << ' ' << color.green() << ' ' << color.blue()
            << '\n';
    trace() << "+ hierarchicColor: " << c[0] << ' ' << c[1] << ' ' << c[2] << '\n';
}

void MainWindow::RelationStartColorChanged(const QString& name) {
    copyColor(name, g_renderStates.relationStartColor, false);
    g_renderStates.relationStartColor[3] = g_renderStates.relationEndColor[3];
}

void MainWindow::RelationEndColorChanged(const QString& name) {
    copyColor(name, g_renderStates.relationEndColor, false);
}

void MainWindow::SelectionColorChanged(const QString& name) {
    copyColor(name, g_renderStates.selectionColor, true);
}

void MainWindow::RelationAlpha(int value) {
    g_renderStates.relationStartColor[3] = value / 100.0f;
    g_renderStates.relationEndColor[3] = value / 100.0f;
}

void MainWindow::SetBeta(int value) { m_beta = value / 1000.0f; }

void MainWindow::BetaChanged() { g_renderStates.beta = m_beta; }
