#pragma once

#include <QMainWindow>

#include <memory>
#include <string>

class QLabel;
class QTabWidget;
class TDiagramm;
class TFMU2Panel;
class TFMU2SpinEdit;
class TLanguageDialog32Bit;
class TLanguageForm;
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
    QTabWidget* Tabs() const { return tabs_; }
    TLanguageForm& Language() { return *language_; }
    //! Runs the language dialog; on OK every window of the program switches.
    void ChooseLanguage();
    //! The language list the dialog offers.
    TLanguageDialog32Bit& LanguageDialog() { return *languageDialog_; }

private:
    QWidget* TablePage();
    QWidget* ChartPage();
    QWidget* FieldsPage();
    QWidget* LanguagePage();

    std::unique_ptr<TVacuumApplication> app_;
    std::unique_ptr<TLanguageForm> language_;
    std::unique_ptr<TLanguageDialog32Bit> languageDialog_;
    QTabWidget* tabs_ = nullptr;
    TDiagramm* chart_ = nullptr;
    TFMU2SpinEdit *mass_ = nullptr, *acceleration_ = nullptr;
    TFMU2Panel* force_ = nullptr;
    QLabel* languageCode_ = nullptr;
    QLabel* records_ = nullptr;
};
