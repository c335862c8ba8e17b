#pragma once

#include "ui_mainWindow.h"

#include <QImage>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class GraphStore;
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
    // "FILE" opens FILE once the window shows; "FILE --screenshot OUT [--view N]" also saves
    // the drawn surface to OUT and quits. Returns false (after printing why) on bad arguments.
    bool startFromCommandLine(const QStringList& arguments);

    GraphStore* graph() const { return m_graph.get(); }
    View* view(int type) const { return m_views[type]; }

signals:
    void setView(View** view);

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

private slots:
    void openFileDialog();
    void saveFileDialog();
    void aboutDialog();
    void controlDialog();

private:
    void takeScreenshot(const QString& outFile);
    QImage grabSurface();

    std::array<View*, 5> m_views{};  // handed to the drawing surface in ViewType order
    std::array<std::unique_ptr<View>, 5> m_ownedViews;
    std::unique_ptr<GraphStore> m_graph;
    float m_beta = 0.5f;
};
