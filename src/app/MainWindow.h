#pragma once

#include "GraphOpening.h"
#include "StartOptions.h"
#include "ui_mainWindow.h"

#include <QImage>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class BackgroundOpen;
class EdgeColorControls;
class GraphStore;
class QLabel;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class View;

// The application's only window: the control panel writes the render states, the file actions
// open graphs and save screenshots.
class MainWindow : public QMainWindow, public Ui::MainWindow {
    Q_OBJECT

public:
    MainWindow();
    ~MainWindow() override;

    // Opens fileName and lays it out five ways. On failure the message names the file and the
    // problem, and the graph on screen stays.
    bool openFile(const QString& fileName, QString* error = nullptr);
    // Opens fileName on a thread of its own while the window keeps answering; a failure shows
    // a message. A file asked for while another opens replaces it.
    void openInBackground(const QString& fileName);
    BackgroundOpen* opener() const { return m_opener; }
    // Applies the command line's choices to the controls, shows the window, opens the file
    // once the window shows and, for --screenshot, saves the picture and quits.
    void start(const StartOptions& options);
    // Sets every control to the value in force in the render states, without calling slots.
    void showRenderStates();

    GraphStore* graph() const { return m_graph.get(); }
    View* view(int type) const { return m_views[type]; }

signals:
    void setView(View** view);
    // An opening in the background has ended; error is empty when fileName shows.
    void openFinished(const QString& fileName, const QString& error);

public slots:
    void Mode3D(bool value);
    void SetViewToRooted(bool value);
    void SetViewToBallon(bool value);
    void SetViewToTreeMap(bool value);
    void DrawRadialTree(bool value);
    void EnableBlending(bool value);
    void SetStandardBlending(bool value);
    void SetMinMaxBlending(bool value);
    void SetStandardMinMaxBlending(bool value);
    void SetAverageWeightingBlending(bool value);
    void SetSummedAverageBlending(bool value);
    void EnableLight(bool value);
    void EnablePointLight(bool value);
    void EnableConicLight(bool value);
    void EnableSpotLight(bool value);
    void EnableShadow(bool value);
    void SetVertexInShadow(bool value);
    void SetHierarchyEdgeInShadow(bool value);
    void SetRelationEdgeInShadow(bool value);
    void SetGridInShadow(bool value);
    void DrawNodes(bool value);
    void DrawHierarchyEdges(bool value);
    void DrawRelationEdges(bool value);
    void DrawGrid(bool value);
    void RotateX(int value);
    void RotateY(int value);
    void RotateZ(int value);
    void Scale(int value);
    void DrawSliceAndDice(bool value);
    void DrawStrips(bool value);
    void DrawCushionTexture(bool value);
    void SetLightRadius(int value);
    void SetLightAttenuate(int value);
    void MirrorRelationEdges(bool value);
    void SphereColorChanged(const QString& name);
    void HierarchyColorChanged(const QString& name);
    void RelationStartColorChanged(const QString& name);
    void RelationEndColorChanged(const QString& name);
    void SelectionColorChanged(const QString& name);
    void RelationAlpha(int value);
    void SetBeta(int value);
    void BetaChanged();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void openFileDialog();
    void openFolderDialog();
    void saveFileDialog();
    void saveGraphDialog();
    void exportPictureDialog();
    void aboutDialog();
    void controlDialog();

private:
    // Shows an opened graph in place of the one on screen, which then goes.
    // Shows an opened graph in place of the current one; false, with the current one still
    // shown, when the drawing surface could not make its objects.
    bool adopt(OpenedGraph& opened);
    void backgroundOpenFinished(const QString& fileName, std::shared_ptr<OpenedGraph> opened,
                                qint64 elapsed);
    // Title, status bar and recent files after a successful open.
    void showFileInfo(const QString& fileName, qint64 milliseconds);
    void showRecentFiles();
    // The layout buttons, the grid box and the treemap group follow the view type in force.
    void showViewType();
    void applyStartOptions(const StartOptions& options);
    // Fits the window to the screen: the panel as wide as its widest control, the window no
    // larger than the screen's free area.
    void fitToScreen();
    void takeScreenshot(const QString& outFile);
    QImage grabSurface();
    // The picture as PNG, or by the suffix as SVG or PDF; false with the problem in error.
    bool savePicture(const QString& fileName, QString* error);

    std::array<View*, 5> m_views{};  // handed to the drawing surface in ViewType order
    std::array<std::unique_ptr<View>, 5> m_ownedViews;
    std::unique_ptr<GraphStore> m_graph;
    float m_beta = 0.5f;
    QLabel* m_statusText = nullptr;
    EdgeColorControls* m_edgeColors = nullptr;
    BackgroundOpen* m_opener = nullptr;
    bool m_remembers = false;  // interactive runs remember their settings
};
