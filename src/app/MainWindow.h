#pragma once

#include "GraphOpening.h"
#include "ShownRequest.h"
#include "StartOptions.h"
#include "ui_mainWindow.h"

#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <array>
#include <future>
#include <memory>

class BackgroundOpen;
class BackgroundReshow;
class ControlBindings;
class EdgeColorControls;
class ShownControls;
class VertexLabels;
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
    // Sets every control to the value in force in the render states, without calling slots,
    // through the table that binds the controls to the settings.
    void showRenderStates();

    // The part of the graph on screen (the whole one unless something is collapsed or
    // excluded).
    GraphStore* graph() const { return m_graph ? m_graph.get() : m_full.get(); }
    // The whole graph opened, and what the part on screen stands for (null: all of it shows).
    GraphStore* fullGraph() const { return m_full.get(); }
    const ShownGraph* shownGraph() const { return m_shown.get(); }
    const ShownRequest& shownRequest() const { return m_request; }
    BackgroundReshow* reshower() const { return m_reshow; }
    ShownControls* shownControls() const { return m_shownControls; }
    VertexLabels* labels() const { return m_labels; }
    // The table that binds the panel's controls to the render states.
    const ControlBindings& bindings() const { return *m_bindings; }

    // What the double-click and the vertex menu do, by shown id. Each change is laid out in the
    // background and shown with the camera kept.
    void toggleCollapsed(uint32_t shownId);
    void collapseVertex(uint32_t shownId);
    // One level down, or with allBelow every vertex below.
    void expandVertex(uint32_t shownId, bool allBelow);
    // Collapses every vertex at the depth of this one.
    void collapseLevel(uint32_t shownId);
    void expandAll();
    // Collapses every vertex at depth (-1: none).
    void setDepth(int depth);
    void setExcludePatterns(const QStringList& patterns);
    // Only the selected vertex's relation edges, the others a faint trace; again to leave.
    void toggleFocus();
    bool focused() const { return m_focus; }
    // Selects a vertex by original id, expanding the collapsed vertices above it first.
    void showOriginalVertex(uint32_t originalId);
    View* view(int type) const { return m_views[type]; }

signals:
    void setView(View** view);
    // An opening in the background has ended; error is empty when fileName shows.
    void openFinished(const QString& fileName, const QString& error);
    // Another part of the graph shows, or could not be made (error not empty).
    void reshowFinished(const QString& error);

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
    // Shows a graph opened from fileName, elapsed milliseconds after its opening began; false
    // with the message in error when it failed or does not fit.
    bool adoptOpened(const QString& fileName, OpenedGraph& opened, qint64 elapsed, QString* error);
    // Draws the picture of a graph opened (since clock started) while the window came up,
    // saves it and quits.
    void takeScreenshotOf(const QString& fileName, std::future<OpenedGraph>& opening,
                          const QElapsedTimer& clock, const QString& outFile);
    void backgroundOpenFinished(const QString& fileName, std::shared_ptr<OpenedGraph> opened,
                                qint64 elapsed);
    // Title, status bar and recent files after a successful open.
    void showFileInfo(const QString& fileName, qint64 milliseconds);
    void showRecentFiles();
    void applyStartOptions(const StartOptions& options);
    // Fits the window to the screen: the panel as wide as its widest control, the window no
    // larger than the screen's free area.
    void fitToScreen();
    void takeScreenshot(const QString& outFile);
    void reshow(ShownRequest request);
    // The request the next change builds on: the one last asked for while it is laid out, so
    // that quick changes add up instead of replacing each other.
    const ShownRequest& latestRequest() const;
    void reshowDone(std::shared_ptr<OpenedGraph> opened, qint64 elapsed);
    // The status bar's line on what part of the graph shows.
    void showShownInfo();
    void showVertexMenu(uint32_t shownId, const QPoint& globalPosition);
    void addShownActions();
    uint32_t originalOf(uint32_t shownId) const;
    // The collapsed set in force as one flag per original id, and back.
    std::vector<uint8_t> collapsedFlags() const;
    void reshowCollapsed(const std::vector<uint8_t>& flags);
    // Patterns for the files opened next, remembered in interactive runs.
    void rememberPatterns(const std::vector<std::string>& patterns);
    QImage grabSurface();
    // The picture as PNG, or by the suffix as SVG or PDF; false with the problem in error.
    bool savePicture(const QString& fileName, QString* error);

    std::array<View*, 5> m_views{};  // handed to the drawing surface in ViewType order
    std::array<std::unique_ptr<View>, 5> m_ownedViews;
    // The part on screen when it is not the whole graph m_full.
    std::unique_ptr<GraphStore> m_graph;
    std::shared_ptr<GraphStore> m_full;
    std::shared_ptr<const ShownGraph> m_shown;
    ShownRequest m_request;
    // The request last handed to the reshow.
    ShownRequest m_asked;
    // Patterns and depth the next file opens with.
    ShownRequest m_openRequest;
    BackgroundReshow* m_reshow = nullptr;
    ShownControls* m_shownControls = nullptr;
    VertexLabels* m_labels = nullptr;
    QLabel* m_shownText = nullptr;
    const GraphStore* m_finderGraph = nullptr;
    bool m_focus = false;
    float m_unfocusedAlpha[2] = {1, 1};
    // A vertex found inside a collapsed subtree, selected once its part shows.
    uint32_t m_selectAfterReshow = UINT32_MAX;
    float m_beta = 0.5f;
    QLabel* m_statusText = nullptr;
    EdgeColorControls* m_edgeColors = nullptr;
    ControlBindings* m_bindings = nullptr;
    BackgroundOpen* m_opener = nullptr;
    bool m_remembers = false;  // interactive runs remember their settings
};
