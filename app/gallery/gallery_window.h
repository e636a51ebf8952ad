#pragma once

#include <QMainWindow>

#include <memory>
#include <string>

class QTabWidget;
class TDiagramm;
class TVacuumApplication;

//! The gallery: one tab per kind of control, all bound to the bundled catalogue through the
//! application object the main window will use.
class TGalleryWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit TGalleryWindow(const std::string& productFile, QWidget* parent = nullptr);
    ~TGalleryWindow() override;

    bool Active() const;
    std::string LastError() const;
    void ShowPage(int index);
    TDiagramm* Chart() const { return chart_; }

private:
    QWidget* ChartPage();

    std::unique_ptr<TVacuumApplication> app_;
    QTabWidget* tabs_ = nullptr;
    TDiagramm* chart_ = nullptr;
};
