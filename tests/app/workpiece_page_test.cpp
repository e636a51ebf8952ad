// The workpiece page inside the main window, driven as a user would: typed sizes and the
// results they give, the shapes with their fields and options, the material list, the
// mass choice, the refused forward move, the example projects, the buttons for the
// friction table and the inertia program, the centre-of-gravity dialog, and the drawing's
// pixels.

#include "app/dialogs/mass/form_mass.h"
#include "app/frame/form_main.h"
#include "app/frame/page_navigator.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/page_registry.h"
#include "app/pages/workpiece/workpiece_page.h"
#include "app/platform/program_starter.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "tests/app/main_window_harness.h"

#include <cmath>
#include <map>
#include <numbers>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTextStream>
#include <QToolButton>
#include <QtTest>

namespace {

//! Records the sections it is asked to start and starts nothing.
class TProgramRecorder : public IProgramStarter {
public:
    std::vector<std::string> Sections;
    bool StartProgram(std::string_view section) override {
        Sections.emplace_back(section);
        return false;
    }
};

// The workpiece keys of a project file with their texts, read as plain text.
std::map<QString, QString> ProjectValues(const QString& file) {
    std::map<QString, QString> values;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return values;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const qsizetype eq = line.indexOf('=');
        if (eq > 0) values[line.left(eq).trimmed()] = line.mid(eq + 1).trimmed();
    }
    return values;
}

bool Near(double a, double b, double rel = 1e-9) {
    return std::fabs(a - b) <= rel * std::max({1.0, std::fabs(a), std::fabs(b)});
}

// A pixel of the workpiece's yellow faces; the background, the lines, the texts and the
// white bore are none.
bool IsFill(QRgb c) {
    return qRed(c) >= 200 && qGreen(c) >= 150 && qBlue(c) <= 170;
}

QImage Render(TWorkpieceDrawing& d) {
    QImage image(d.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    d.render(&image);
    return image;
}

// The run of fill pixels through a point, horizontally and vertically.
int FillRun(const QImage& image, QPoint at, int dx, int dy) {
    int n = 0;
    for (QPoint p = at; image.rect().contains(p) && IsFill(image.pixel(p)); p += QPoint(dx, dy))
        ++n;
    for (QPoint p = at - QPoint(dx, dy); image.rect().contains(p) && IsFill(image.pixel(p));
         p -= QPoint(dx, dy))
        ++n;
    return n;
}

int CountWhite(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(255, 255, 255)) ++n;
    return n;
}

} // namespace

class WorkpiecePageTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    THelpRecorder help;
    TProgramRecorder programs;
    TWorkpiecePage* page = nullptr;

    TMyProject::TWorkpiece& W() { return app->Document.Workpiece; }

    void GoToPage() {
        Accept();
        QTest::mouseClick(frame->Navigator()->Entry(cmpWorkpiece), Qt::LeftButton);
        QCOMPARE(app->Workflow.CurrentPage(), int(cmpWorkpiece));
    }
    // Types a text over the field's text, as a user selecting it and typing.
    static void Type(TFMU2SpinEdit* field, const QString& text) {
        field->Edit()->setFocus();
        field->Edit()->selectAll();
        if (text.isEmpty()) QTest::keyClick(field->Edit(), Qt::Key_Delete);
        else QTest::keyClicks(field->Edit(), text);
    }
    // Opens the list and clicks an entry, as a user picking it.
    static void Pick(QComboBox* box, int index) {
        box->showPopup();
        QAbstractItemView* view = box->view();
        QTRY_VERIFY(view->isVisible());
        const QModelIndex entry = view->model()->index(index, 0);
        view->scrollTo(entry);
        const QRect r = view->visualRect(entry);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
        QTRY_VERIFY(!view->isVisible());
        QCOMPARE(box->currentIndex(), index);
    }
    static void PickText(QComboBox* box, const QString& text) {
        const int index = box->findText(text);
        QVERIFY2(index >= 0, qPrintable(text));
        Pick(box, index);
    }
    bool Shown(QWidget* w) const { return w->isVisibleTo(page); }

private slots:
    void init() {
        Isolate();
        help = {};
        programs = {};
        Start({.ScreenSize = {},
               .WindowSize = QSize(1024, 768),
               .Accept = false,
               .Help = &help,
               .Programs = &programs});
        page = dynamic_cast<TWorkpiecePage*>(frame->Page(cmpWorkpiece));
        QVERIFY(page);
    }
    void cleanup() {
        page = nullptr;
        Stop();
    }

    void typedSizesGiveVolumeMassInertiaAndDrawing() {
        GoToPage();
        // A new project is a bar of steel-like density, still without sizes.
        QCOMPARE(page->ShapeList()->currentText(), QString("Cuboid"));
        QCOMPARE(page->MaterialList()->currentText(), QString("User-defined"));
        QCOMPARE(page->Density()->DisplayText(), QString("7.8"));
        const QImage before = Render(*page->Drawing());

        Type(page->LengthX(), "300");
        Type(page->LengthY(), "100");
        Type(page->LengthZ(), "20");
        // 0.3 m x 0.1 m x 0.02 m = 6e-4 m³ = 0.6 dm³; 7800 kg/m³ x 6e-4 m³ = 4.68 kg.
        QCOMPARE(page->Volume()->DisplayText(), QString("0.6"));
        QCOMPARE(page->Mass()->DisplayText(), QString("4.68"));
        QVERIFY(Near(W().Mass, 4.68));
        // A cuboid about Z: m (X² + Y²) / 12 = 4.68 x 0.1 / 12 = 0.039 kg m² = 390 kg cm²;
        // about X: 4.68 x (0.01 + 0.0004) / 12 = 0.004056 kg m² = 40.56 kg cm².
        QVERIFY(Near(page->MomentOfInertia(2)->Value(), 0.039));
        QCOMPARE(page->MomentOfInertia(2)->DisplayText(), QString("390"));
        QCOMPARE(page->MomentOfInertia(0)->DisplayText(), QString("40.56"));

        // The drawing follows the sizes, and a long thin bar is drawn wider than high.
        TWorkpieceDrawing* d = page->Drawing();
        QVERIFY(Near(d->Size().X, 0.3) && Near(d->Size().Y, 0.1) && Near(d->Size().Z, 0.02));
        const QImage after = Render(*d);
        QVERIFY(after != before);

        // A density typed in g/cm³ gives the mass at once: 2.7 g/cm³ x 0.6 dm³ = 1.62 kg.
        Type(page->Density(), "2.7");
        QVERIFY(Near(W().Density, 2700.0));
        QCOMPARE(page->Mass()->DisplayText(), QString("1.62"));
    }

    void everyShapeShowsItsFieldsAndOptions() {
        GoToPage();
        QCOMPARE(page->ShapeList()->count(), 10);
        struct TExpect {
            bool X, Y, Z, D, Di, Volume, VolumeEditable, Dialog;
        };
        // Which sizes each shape is made of, as the shape list names them.
        const TExpect expect[10] = {
            {1, 1, 1, 0, 0, 0, 0, 1}, // mass known: the envelope
            {1, 1, 1, 0, 0, 1, 1, 1}, // volume and density known: the envelope, the volume
            {1, 1, 1, 0, 0, 1, 0, 0}, // cuboid
            {1, 0, 0, 1, 0, 1, 0, 0}, // cylinder along X: length X, diameter
            {0, 1, 0, 1, 0, 1, 0, 0}, // cylinder along Y
            {0, 0, 1, 1, 0, 1, 0, 0}, // cylinder along Z
            {0, 0, 0, 1, 0, 1, 0, 0}, // sphere: the diameter
            {1, 0, 0, 1, 1, 1, 0, 0}, // pipe along X: length, both diameters
            {0, 1, 0, 1, 1, 1, 0, 0}, // pipe along Y
            {0, 0, 1, 1, 1, 1, 0, 0}, // pipe along Z
        };
        // Walk the list in an order that leaves and enters the two shapes without geometry.
        for (int shape : {2, 0, 3, 1, 4, 5, 6, 7, 8, 9, 1, 2}) {
            Pick(page->ShapeList(), shape);
            const QString at = QString("shape %1").arg(shape);
            QCOMPARE(int(W().Shape), shape);
            const TExpect& e = expect[shape];
            const std::pair<QWidget*, bool> fields[] = {
                {page->LengthX(), e.X},         {page->LengthY(), e.Y},
                {page->LengthZ(), e.Z},         {page->OuterDiameter(), e.D},
                {page->InnerDiameter(), e.Di},  {page->Volume(), e.Volume},
                {page->Density(), shape != 0},  {page->Friction(), true},
                {page->Mass(), true},
            };
            for (const auto& [field, visible] : fields) {
                QVERIFY2(Shown(field) == visible, qPrintable(at + " " + field->objectName()));
                QVERIFY2(page->LabelOf(field) && Shown(page->LabelOf(field)) == visible,
                         qPrintable(at + " label of " + field->objectName()));
            }
            QCOMPARE(page->Volume()->ReadOnly(), !e.VolumeEditable);
            QCOMPARE(Shown(page->MassDialogButton()), e.Dialog);
            // The mass is entered for "mass known" only, computed for "volume known"; the
            // other shapes offer both.
            switch (shape) {
            case 0:
                QVERIFY(!page->CalculateValueButton()->isEnabled());
                QVERIFY(page->KnownValueButton()->isEnabled());
                QVERIFY(page->KnownValueButton()->isChecked());
                QVERIFY(!page->Mass()->ReadOnly());
                QVERIFY(!Shown(page->MaterialList()));
                break;
            case 1:
                QVERIFY(page->CalculateValueButton()->isEnabled());
                QVERIFY(!page->KnownValueButton()->isEnabled());
                QVERIFY(page->CalculateValueButton()->isChecked());
                QVERIFY(page->Mass()->ReadOnly());
                QVERIFY(Shown(page->MaterialList()));
                break;
            default:
                QVERIFY(page->CalculateValueButton()->isEnabled());
                QVERIFY(page->KnownValueButton()->isEnabled());
                QCOMPARE(page->KnownValueButton()->isChecked(), W().MassKnown);
                QCOMPARE(page->CalculateValueButton()->isChecked(), !W().MassKnown);
                break;
            }
            QCOMPARE(int(page->Drawing()->Shape()), shape);
        }

        // A sphere of D = 0.1 m at 7800 kg/m³: V = π D³ / 6 = 0.5236 dm³, m = 4.084 kg,
        // J = 2 m r² / 5 = 4.084e-3 kg m² about each axis.
        Pick(page->ShapeList(), cwsGlobe);
        page->CalculateValueButton()->click();
        Type(page->Density(), "7.8");
        Type(page->OuterDiameter(), "100");
        const double v = std::numbers::pi * 0.001 / 6.0;
        QVERIFY(Near(page->Volume()->Value(), v));
        QVERIFY(Near(page->Mass()->Value(), 7800.0 * v));
        for (int axis = 0; axis < 3; ++axis)
            QVERIFY(Near(page->MomentOfInertia(axis)->Value(), 0.4 * 7800.0 * v * 0.0025));
    }

    void materialsAndTheMassChoice() {
        GoToPage();
        Type(page->LengthX(), "200");
        Type(page->LengthY(), "100");
        Type(page->LengthZ(), "50");
        // 1 dm³ of aluminium, whose table range is 2650 to 2810 kg/m³: the upper one counts.
        PickText(page->MaterialList(), "Aluminium");
        QCOMPARE(W().Material, std::string("Aluminium"));
        QCOMPARE(page->Density()->DisplayText(), QString("2.81"));
        QVERIFY(page->Density()->ReadOnly());
        QCOMPARE(page->Mass()->DisplayText(), QString("2.81"));
        PickText(page->MaterialList(), "Glass"); // 2400 to 2600 kg/m³
        QCOMPARE(page->Density()->DisplayText(), QString("2.6"));
        QCOMPARE(page->Mass()->DisplayText(), QString("2.6"));
        // User-defined: the density can be typed again and no material is stored.
        Pick(page->MaterialList(), 0);
        QCOMPARE(page->MaterialList()->currentText(), QString("User-defined"));
        QVERIFY(W().Material.empty());
        QVERIFY(!page->Density()->ReadOnly());
        Type(page->Density(), "1.5");
        QCOMPARE(page->Mass()->DisplayText(), QString("1.5"));

        // A known mass: the mass is typed, the density follows from it, no material list.
        QTest::mouseClick(page->KnownValueButton(), Qt::LeftButton);
        QVERIFY(W().MassKnown);
        QVERIFY(!Shown(page->MaterialList()));
        QVERIFY(page->Density()->ReadOnly());
        QVERIFY(!page->Mass()->ReadOnly());
        Type(page->Mass(), "4");
        QCOMPARE(page->Density()->DisplayText(), QString("4")); // 4 kg / 1 dm³
        QTest::mouseClick(page->CalculateValueButton(), Qt::LeftButton);
        QVERIFY(!W().MassKnown);
        QVERIFY(Shown(page->MaterialList()));
        QVERIFY(page->Mass()->ReadOnly());
    }

    void aZeroSizeOrAnInvalidTextStopsTheWayOn() {
        GoToPage();
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        Type(page->LengthX(), "300");
        Type(page->LengthY(), "100");
        Type(page->Friction(), "0");
        // The height is still 0, the friction too: one message, for the height, first.
        QTest::mouseClick(frame->Navigator()->NextButton(), Qt::LeftButton);
        QCOMPARE(app->Workflow.CurrentPage(), int(cmpWorkpiece));
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Caption, QString("Invalid value"));
        QCOMPARE(messages.Shown[0].Text, QString("Height (Z)"));
        QTRY_VERIFY(page->LengthZ()->Edit()->hasFocus());

        // An unreadable text disables the navigator until it is corrected.
        Type(page->LengthZ(), "2/");
        QVERIFY(!page->LengthZ()->Valid());
        QVERIFY(!frame->Navigator()->NextButton()->isEnabled());
        QVERIFY(!frame->Navigator()->PreviousButton()->isEnabled());
        Type(page->LengthZ(), "20");
        QVERIFY(frame->Navigator()->NextButton()->isEnabled());
        Type(page->Friction(), "0.4");
        QTest::mouseClick(frame->Navigator()->NextButton(), Qt::LeftButton);
        QCOMPARE(app->Workflow.CurrentPage(), int(cmpPositioning));
        QCOMPARE(messages.Shown.size(), size_t(1));
    }

    void exampleProjectsShowEveryStoredValue() {
        GoToPage();
        // The English names of the catalogue's materials the examples use.
        const std::map<QString, QString> materialName = {
            {"Aluminium", "Aluminium"}, {"Glass", "Glass"}, {"Steel", "Steel"}};
        for (const char* name : kExampleProjects) {
            const QString file = ExampleProject(name);
            files.Names.push_back(file);
            frame->Action("ActionOpen")->trigger();
            QCOMPARE(app->Workflow.CurrentPage(), int(cmpWorkpiece));
            const std::map<QString, QString> stored = ProjectValues(file);
            auto number = [&](const char* key) {
                const auto it = stored.find(key);
                return it == stored.end() ? std::nan("") : it->second.toDouble();
            };
            QCOMPARE(stored.at("Workpiece.Shape"), QString("bar"));
            QCOMPARE(page->ShapeList()->currentIndex(), 2);
            const std::pair<TFMU2Custom*, const char*> fields[] = {
                {page->LengthX(), "Workpiece.Length.x"},
                {page->LengthY(), "Workpiece.Length.y"},
                {page->LengthZ(), "Workpiece.Length.z"},
                {page->OuterDiameter(), "Workpiece.OuterDiameter"},
                {page->InnerDiameter(), "Workpiece.InnerDiameter"},
                {page->Volume(), "Workpiece.Volume"},
                {page->Density(), "Workpiece.Density"},
                {page->Mass(), "Workpiece.Mass"},
                {page->Friction(), "Friction"},
                {page->MomentOfInertia(0), "Workpiece.MomentOfInertia.x"},
                {page->MomentOfInertia(1), "Workpiece.MomentOfInertia.y"},
                {page->MomentOfInertia(2), "Workpiece.MomentOfInertia.z"},
            };
            for (const auto& [field, key] : fields)
                QVERIFY2(Near(field->Value(), number(key), 1e-9),
                         qPrintable(QString("%1 %2: %3 shown, %4 stored")
                                        .arg(name, key)
                                        .arg(field->Value())
                                        .arg(number(key))));
            // The length field shows millimetres: 0.5 m is "500".
            QCOMPARE(page->LengthX()->DisplayText(),
                     QString::number(number("Workpiece.Length.x") * 1000.0));
            QCOMPARE(page->MaterialList()->currentText(),
                     materialName.at(stored.at("Workpiece.Material")));
            QVERIFY(page->Density()->ReadOnly());
            QCOMPARE(page->KnownValueButton()->isChecked(),
                     stored.at("Workpiece.MassKnown") == "True");
            QVERIFY(Near(page->Drawing()->Size().X, number("Workpiece.Length.x")));
            QVERIFY(Near(page->Drawing()->Size().Z, number("Workpiece.Length.z")));
            QVERIFY(frame->Navigator()->NextButton()->isEnabled());
        }
    }

    void buttonsOpenTheFrictionTableAndStartTheInertiaProgram() {
        GoToPage();
        QCOMPARE(page->FrictionButton()->toolTip(), QString("Table of friction values"));
        QTest::mouseClick(page->FrictionButton(), Qt::LeftButton);
        QCOMPARE(help.Topics, (std::vector<int>{cHelpFrictionValues}));
        QTest::mouseClick(page->InertiaProgramButton(), Qt::LeftButton);
        QCOMPARE(programs.Sections, (std::vector<std::string>{"ZEB"}));
    }

    void theCentreOfGravityDialog() {
        GoToPage();
        Pick(page->ShapeList(), cwsMassKnown);
        Type(page->LengthX(), "400");
        Type(page->LengthY(), "300");
        Type(page->LengthZ(), "100");
        Type(page->Mass(), "10");
        // The worst case of 10 kg in a 0.4 x 0.3 x 0.1 m box about Z: 10 x (0.16 + 0.09)
        // = 2.5 kg m².
        QVERIFY(Near(page->MomentOfInertia(2)->Value(), 2.5));
        QVERIFY(Shown(page->MassDialogButton()));
        QTest::mouseClick(page->MassDialogButton(), Qt::LeftButton);
        TFormMass* dialog = page->MassDialog();
        QVERIFY(dialog);
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QString("Centre of gravity and moments of inertia"));
        QVERIFY(dialog->WorstCase()->isVisible());
        QVERIFY(dialog->WorstCase()->isChecked());
        for (int axis = 0; axis < 3; ++axis) QVERIFY(dialog->MassCenter(axis)->ReadOnly());
        QVERIFY(dialog->MomentOfInertia(2)->ReadOnly());
        QVERIFY(!dialog->MomentOfInertia(0)->isVisible());
        QVERIFY(!dialog->MomentOfInertia(1)->isVisible());
        QVERIFY(dialog->MomentOfInertia(2)->isVisible());
        QCOMPARE(dialog->MomentOfInertia(2)->DisplayText(), QString("25000")); // kg cm²

        // Without the worst case the centre and the moment are typed.
        // On the box itself: the check box is as wide as the dialog, its text is not.
        QTest::mouseClick(dialog->WorstCase(), Qt::LeftButton, {},
                          QPoint(8, dialog->WorstCase()->height() / 2));
        QVERIFY(!dialog->WorstCase()->isChecked());
        QVERIFY(!dialog->MassCenter(0)->ReadOnly());
        Type(dialog->MassCenter(0), "50");
        Type(dialog->MomentOfInertia(2), "1000");
        QTest::mouseClick(dialog->InertiaProgramButton(), Qt::LeftButton);
        QCOMPARE(programs.Sections, (std::vector<std::string>{"ZEB"}));
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
        QTRY_VERIFY(!page->MassDialog());
        QVERIFY(!W().WorstCase);
        QVERIFY(Near(W().MassCenter.X, 0.05));
        QVERIFY(Near(W().MomentOfInertiaZ, 0.1));
        QCOMPARE(page->MomentOfInertia(2)->DisplayText(), QString("1000"));

        // Cancel stores nothing.
        QTest::mouseClick(page->MassDialogButton(), Qt::LeftButton);
        dialog = page->MassDialog();
        QVERIFY(dialog);
        QVERIFY(!dialog->WorstCase()->isChecked());
        QCOMPARE(dialog->MassCenter(0)->DisplayText(), QString("50"));
        Type(dialog->MassCenter(1), "-20");
        Type(dialog->MomentOfInertia(2), "3000");
        QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
        QTRY_VERIFY(!page->MassDialog());
        QVERIFY(Near(W().MassCenter.Y, 0.0));
        QVERIFY(Near(W().MomentOfInertiaZ, 0.1));
        // Opened again at once after closing, it starts afresh on the stored values.
        QTest::mouseClick(page->MassDialogButton(), Qt::LeftButton);
        Type(page->MassDialog()->MassCenter(0), "70");
        QTest::mouseClick(page->MassDialog()->CancelButton(), Qt::LeftButton);
        QTest::mouseClick(page->MassDialogButton(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(page->MassDialog() && page->MassDialog()->isVisible());
        QCOMPARE(page->MassDialog()->MassCenter(0)->DisplayText(), QString("50"));
        QTest::mouseClick(page->MassDialog()->CancelButton(), Qt::LeftButton);
        QTRY_VERIFY(!page->MassDialog());

        // A new mass puts the centre of gravity back in the middle; the entered moment
        // stays until the shape gets a geometry: a 10 kg cuboid about Z is 10 x 0.25 / 12.
        Type(page->Mass(), "12");
        QVERIFY(Near(W().MassCenter.X, 0.0));
        QVERIFY(Near(W().MomentOfInertiaZ, 0.1));
        Pick(page->ShapeList(), cwsBar);
        QTest::mouseClick(page->KnownValueButton(), Qt::LeftButton);
        Type(page->Mass(), "10");
        QVERIFY(Near(page->MomentOfInertia(2)->Value(), 10.0 * 0.25 / 12.0));
        QVERIFY(!Shown(page->MassDialogButton()));
    }

    void theDrawingFillsTheShapeAtKnownPlaces() {
        TWorkpieceDrawing d;
        d.resize(400, 300);
        const QPoint centre(200, 150);
        const int m = TWorkpieceDrawing::cMargin;
        auto background = [](QRgb c) { return !IsFill(c) && qBlue(c) >= 200; };

        // A sphere fills the room inside the margins: a circle of diameter 300 - 2m.
        d.SetWorkpiece(cwsGlobe, {0, 0, 0, 0.1, 0});
        QImage image = Render(d);
        const double r = (300 - 2 * m) / 2.0;
        QVERIFY(IsFill(image.pixel(centre)));
        QVERIFY(IsFill(image.pixel(centre + QPoint(int(0.9 * r), 0))));
        QVERIFY(IsFill(image.pixel(centre - QPoint(0, int(0.9 * r)))));
        QVERIFY(background(image.pixel(centre + QPoint(int(1.1 * r) + 1, 0))));
        QVERIFY(background(image.pixel(centre - QPoint(0, int(1.1 * r) + 1))));
        for (QPoint corner : {QPoint(2, 2), QPoint(397, 2), QPoint(2, 297), QPoint(397, 297)})
            QVERIFY(background(image.pixel(corner)));

        // Every shape covers the middle of the drawing, whose corners stay empty.
        const TWorkpieceSize sizes = {0.2, 0.15, 0.1, 0.1, 0.06};
        for (int shape = 0; shape < 10; ++shape) {
            d.SetWorkpiece(static_cast<TWorkpieceShape>(shape), sizes);
            image = Render(d);
            QVERIFY2(IsFill(image.pixel(centre)), qPrintable(QString("shape %1").arg(shape)));
            QVERIFY(background(image.pixel(2, 2)) && background(image.pixel(397, 297)));
        }

        // A long bar is drawn wide, a tall one high.
        d.resize(400, 400);
        const QPoint middle(200, 200);
        d.SetWorkpiece(cwsBar, {0.5, 0.05, 0.05, 0, 0});
        image = Render(d);
        QVERIFY(FillRun(image, middle, 1, 0) > 3 * FillRun(image, middle, 0, 1));
        d.SetWorkpiece(cwsBar, {0.05, 0.05, 0.5, 0, 0});
        image = Render(d);
        QVERIFY(FillRun(image, middle, 0, 1) > 3 * FillRun(image, middle, 1, 0));

        // A pipe shows its white bore, a cylinder of the same size none; a wider bore is
        // more of the picture.
        d.SetWorkpiece(cwsCylinderZ, {0, 0, 0.2, 0.1, 0.04});
        QCOMPARE(CountWhite(Render(d)), 0);
        d.SetWorkpiece(cwsPipeZ, {0, 0, 0.2, 0.1, 0.04});
        const int narrow = CountWhite(Render(d));
        d.SetWorkpiece(cwsPipeZ, {0, 0, 0.2, 0.1, 0.08});
        const int wide = CountWhite(Render(d));
        QVERIFY(narrow > 0);
        // The bore's area goes with the square of its diameter: four times, give or take
        // the outline.
        QVERIFY2(wide > 3 * narrow && wide < 5 * narrow,
                 qPrintable(QString("%1 %2").arg(narrow).arg(wide)));
        // The bore is at the top end of an upright pipe, where the drawing puts it.
        image = Render(d);
        QCOMPARE(image.pixel(d.Project(0, 0, 0.1).toPoint()), qRgb(255, 255, 255));
        QVERIFY(IsFill(image.pixel(d.Project(0, 0, -0.05).toPoint())));
    }

    void theLayoutFitsAndFollowsTheLanguage() {
        GoToPage();
        for (QSize size : {QSize(1024, 768), QSize(1600, 1200)}) {
            frame->resize(size);
            QCoreApplication::processEvents();
            for (int shape : {0, 7}) {
                Pick(page->ShapeList(), shape);
                QCoreApplication::processEvents();
                const QRect room = page->rect();
                // Every visible control lies inside the page, none over another's row.
                for (QWidget* w : page->findChildren<QWidget*>()) {
                    if (!w->isVisibleTo(page) || w->parentWidget() != page->findChild<QWidget*>("WorkpieceInputs"))
                        continue;
                    const QRect r(w->mapTo(page, QPoint(0, 0)), w->size());
                    QVERIFY2(room.contains(r), qPrintable(w->objectName()));
                }
                const QRect drawn(page->Drawing()->mapTo(page, QPoint(0, 0)),
                                  page->Drawing()->size());
                QVERIFY(room.contains(drawn));
                QVERIFY(drawn.width() > 200 && drawn.height() > 200);
            }
        }
        frame->SetLanguage("ru");
        QCOMPARE(page->ShapeList()->itemText(2), QString::fromUtf8("Параллелепипед"));
        QCOMPARE(page->MaterialList()->itemText(0), QString::fromUtf8("Задано пользователем"));
        QCOMPARE(qobject_cast<QLabel*>(page->LabelOf(page->MomentOfInertia(2)))->text(),
                 QString::fromUtf8("Момент инерции Jz"));
    }
};

QTEST_MAIN(WorkpiecePageTest)
#include "workpiece_page_test.moc"
