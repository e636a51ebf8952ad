// The language selection window: both styles over a language list read from a container,
// the live preview on the window itself only, OK and Cancel, the enabled states, the
// height by the number of languages and the drawing of the flags.

#include "core/data/container_format.h"
#include "core/data/orsik_connection.h"
#include "core/data/str_table_db.h"
#include "core/lang/language_dialog.h"
#include "core/lang/language_table.h"
#include "gui/lang/language_dlg.h"

#include <fstream>
#include <memory>

#include <QBuffer>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

struct TLang {
    const char* Code;
    const char* Name;
    QColor Flag; // invalid: the row has no picture
};

const TLang kFive[] = {{"en", "English", Qt::red},
                       {"de", "Deutsch", Qt::blue},
                       {"fr", "Français", Qt::green},
                       {"ru", "Русский", Qt::yellow},
                       {"cs", "Čeština", QColor()}};

// The flag cell as the container holds it: the picture's class name, then a bitmap file.
std::vector<uint8_t> FlagBlob(const QColor& colour) {
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    std::vector<uint8_t> blob{7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
    blob.insert(blob.end(), bmp.begin(), bmp.end());
    return blob;
}

// Writes a language container with a "Dialog" table of the first `count` languages.
std::string WriteContainer(const QString& folder, int count) {
    TStrTableDB32Bit table;
    auto& iso = table.AddColumn("ISO", csfString);
    auto& name = table.AddColumn("Name", csfWideString);
    auto& flag = table.AddColumn("Flag", csfBLOB);
    for (int i = 0; i < count; ++i) {
        iso.AppendText(kFive[i].Code);
        name.AppendText(kFive[i].Name);
        flag.AppendBlob(kFive[i].Flag.isValid() ? FlagBlob(kFive[i].Flag) : std::vector<uint8_t>{});
    }
    table.SetRows(count);
    const std::vector<uint8_t> blob = table.SaveToBytes();
    const std::vector<uint8_t> file = BuildContainer({"FileFormatVersion=1.3"}, {"Dialog"},
                                                     {std::span<const uint8_t>(blob)}, false);
    const std::string path = (folder + QString("/Vacuum%1.bin").arg(count)).toStdString();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    return path;
}

// Another window of the program, in the program's group 0.
class TMainForm : public QWidget {
public:
    TMainForm() : language_(this) {
        setWindowTitle("~SelectYourLanguage");
        label = new QLabel("~Cancel", this);
        language_.Loaded();
    }
    TLanguageDB& DB() { return language_.LanguageDB(); }
    QLabel* label;

private:
    TLanguageForm language_;
};

} // namespace

class LangDialogTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::string five_, four_, three_;
    std::unique_ptr<TCustomLanguageTable> texts_;
    std::unique_ptr<TOrsikConnection> connection_;
    std::unique_ptr<TLanguageDialog32Bit> component_;
    std::unique_ptr<TMainForm> main_;

    void Open(const std::string& path) {
        component_.reset();
        connection_ = std::make_unique<TOrsikConnection>();
        connection_->Loaded();
        connection_->SetDataFile(path);
        QVERIFY(connection_->Active());
        component_ = std::make_unique<TLanguageDialog32Bit>();
        component_->SetConnection(connection_.get());
        component_->SetTable("Dialog");
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        five_ = WriteContainer(dir_.path(), 5);
        four_ = WriteContainer(dir_.path(), 4);
        three_ = WriteContainer(dir_.path(), 3);
    }

    void init() {
        texts_ = std::make_unique<TCustomLanguageTable>();
        const char* rows[][4] = {{"~SelectYourLanguage", "Select your language",
                                  "Sprache auswählen", "Choisissez votre langue"},
                                 {"~OK", "OK", "OK", "OK"},
                                 {"~Cancel", "Cancel", "Abbrechen", "Annuler"},
                                 {"~Help", "Help", "Hilfe", "Aide"}};
        for (const auto& r : rows) {
            texts_->SetText("en", r[0], r[1]);
            texts_->SetText("de", r[0], r[2]);
            texts_->SetText("fr", r[0], r[3]);
        }
        main_ = std::make_unique<TMainForm>();
        main_->DB().SetLanguage("en");
        Open(five_);
        component_->SetCode("en");
    }

    void cleanup() {
        main_.reset();
        component_.reset();
        connection_.reset();
        texts_.reset();
    }

    void listStyleShowsTheLanguagesWithFlags() {
        TLanguageDlg dlg(*component_);
        dlg.Initialise();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));

        QCOMPARE(dlg.Notebook()->currentIndex(), 0);
        QVERIFY(dlg.List()->isEnabled());
        QVERIFY(!dlg.RadioPanel()->isEnabled());
        QCOMPARE(dlg.List()->count(), 5);
        QCOMPARE(dlg.List()->itemText(3), QString::fromUtf8("Русский"));
        QCOMPARE(dlg.List()->currentIndex(), 0);
        QCOMPARE(dlg.List()->height(), 25);
        QCOMPARE(dlg.height(), 132);
        QCOMPARE(dlg.windowTitle(), QString("Select your language"));
        QVERIFY(dlg.OkButton()->isDefault());
        QVERIFY(dlg.OkButton()->isEnabled());
        QVERIFY(dlg.CancelButton()->isEnabled());
        QVERIFY(dlg.HelpButton()->isHidden());

        // Each entry: the row's flag in front, then the name; 20 high.
        auto* delegate = dlg.List()->itemDelegate();
        QStyleOptionViewItem option;
        option.initFrom(dlg.List());
        option.rect = QRect(0, 0, 200, 20);
        option.state = QStyle::State_Enabled;
        const QModelIndex german = dlg.List()->model()->index(1, 0);
        QCOMPARE(delegate->sizeHint(option, german).height(), 20);
        QImage entry(200, 20, QImage::Format_RGB32);
        entry.fill(Qt::white);
        {
            QPainter p(&entry);
            delegate->paint(&p, option, german);
        }
        QCOMPARE(entry.pixelColor(10, 10), QColor(Qt::blue));
        QCOMPARE(entry.pixelColor(10, 1), QColor(Qt::white)); // centred: 16 high in 20
        bool text = false;
        for (int x = 32; x < 120 && !text; ++x)
            for (int y = 0; y < 20 && !text; ++y)
                text = entry.pixelColor(x, y) != QColor(Qt::white);
        QVERIFY2(text, "the name follows the flag");
        // A row without a picture keeps the flag's place empty.
        QImage bare(200, 20, QImage::Format_RGB32);
        bare.fill(Qt::white);
        {
            QPainter p(&bare);
            delegate->paint(&p, option, dlg.List()->model()->index(4, 0));
        }
        QCOMPARE(bare.pixelColor(10, 10), QColor(Qt::white));
    }

    void choosingPreviewsOnTheDialogOnlyAndCancelKeepsEverything() {
        TLanguageDlg dlg(*component_);
        dlg.Initialise();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.CancelButton()->text(), QString("Cancel"));

        dlg.List()->setFocus();
        QTest::keyClick(dlg.List(), Qt::Key_Down);
        QCOMPARE(dlg.List()->currentIndex(), 1);
        QCOMPARE(dlg.windowTitle(), QString::fromUtf8("Sprache auswählen"));
        QCOMPARE(dlg.CancelButton()->text(), QString("Abbrechen"));
        QCOMPARE(dlg.HelpButton()->text(), QString("Hilfe"));
        QCOMPARE(QString::fromStdString(dlg.Model().Choice()), QString("de"));
        // The program's windows stay in their language.
        QCOMPARE(main_->windowTitle(), QString("Select your language"));
        QCOMPARE(main_->label->text(), QString("Cancel"));
        QCOMPARE(QString::fromStdString(main_->DB().Language()), QString("en"));

        QTest::keyClick(dlg.List(), Qt::Key_Down);
        QCOMPARE(dlg.CancelButton()->text(), QString("Annuler"));

        QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(QString::fromStdString(component_->Code()), QString("en"));
        QCOMPARE(QString::fromStdString(main_->DB().Language()), QString("en"));
        QCOMPARE(main_->label->text(), QString("Cancel"));
    }

    void okTakesTheChoice() {
        TLanguageDlg dlg(*component_);
        dlg.Initialise();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.List()->setCurrentIndex(2);
        QCOMPARE(dlg.OkButton()->text(), QString("OK"));
        QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(QString::fromStdString(component_->Code()), QString("fr"));
        // Setting the program's language is the caller's step.
        QCOMPARE(QString::fromStdString(main_->DB().Language()), QString("en"));
    }

    void radioStyleHeightsAndLayout() {
        component_->Style = cldsRadioGroup;
        component_->SetCode("de");
        TLanguageDlg dlg(*component_);
        dlg.Initialise();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));

        QCOMPARE(dlg.height(), 152);
        QCOMPARE(dlg.Notebook()->currentIndex(), 1);
        QVERIFY(!dlg.List()->isEnabled());
        QVERIFY(dlg.RadioPanel()->isEnabled());
        QCOMPARE(dlg.windowTitle(), QString::fromUtf8("Sprache auswählen"));
        const auto& radios = dlg.RadioButtons();
        QCOMPARE(radios.size(), 5);
        const int panel = dlg.RadioPanel()->width();
        // One under the other at a pitch of 20, 19 high, all as wide as the first.
        for (int i = 0; i < radios.size(); ++i) {
            QCOMPARE(radios[i]->geometry(),
                     QRect(radios[0]->x(), radios[0]->y() + 20 * i, radios[0]->width(), 19));
            QCOMPARE(radios[i]->isChecked(), i == 1);
        }
        QCOMPARE(radios[2]->text(), QString::fromUtf8("Français"));
        // Every button lies inside the panel.
        QVERIFY(dlg.RadioPanel()->rect().contains(radios[4]->geometry()));

        // The buttons follow the panel's width, their margins staying as they are.
        dlg.RadioPanel()->resize(panel + 40, dlg.RadioPanel()->height());
        QCOMPARE(radios[3]->width(), radios[0]->width());
        QCOMPARE(radios[3]->width(), panel + 40 - 2 * radios[3]->x());

        QTest::mouseClick(radios[2], Qt::LeftButton, {}, QPoint(8, 9));
        QVERIFY(radios[2]->isChecked());
        QCOMPARE(dlg.CancelButton()->text(), QString("Annuler"));
        QCOMPARE(main_->label->text(), QString("Cancel"));
        QTest::keyClick(&dlg, Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(QString::fromStdString(component_->Code()), QString("fr"));

        Open(three_);
        component_->Style = cldsRadioGroup;
        TLanguageDlg small(*component_);
        small.Initialise();
        QCOMPARE(small.height(), 132);
        QCOMPARE(small.RadioButtons().size(), 3);
    }

    void everyPartKeepsOneMargin() {
        // The window's margin: the notebook from the top left corner, the button row from
        // the bottom right one. The radio buttons keep it inside their frame on every
        // side, with four languages and with five, and the drop-down list starts at it.
        auto check = [](TLanguageDlg& dlg, int languages) {
            const int margin = dlg.Notebook()->x();
            QVERIFY(margin > 0);
            QCOMPARE(dlg.Notebook()->y(), margin);
            QRect row;
            for (const QPushButton* b : {dlg.OkButton(), dlg.CancelButton(), dlg.HelpButton()})
                if (!b->isHidden()) row |= b->geometry();
            QCOMPARE(dlg.width() - 1 - row.right(), margin);
            QCOMPARE(dlg.height() - 1 - row.bottom(), margin);
            QCOMPARE(dlg.width() - 1 - dlg.Notebook()->geometry().right(), margin);

            const auto& radios = dlg.RadioButtons();
            QCOMPARE(int(radios.size()), languages);
            QRect list;
            for (const QRadioButton* radio : radios) list |= radio->geometry();
            const QRect inside = dlg.RadioPanel()->contentsRect();
            QVERIFY2(inside != dlg.RadioPanel()->rect(), "the panel draws a frame");
            QCOMPARE(list.left() - inside.left(), margin);
            QCOMPARE(list.top() - inside.top(), margin);
            QCOMPARE(inside.right() - list.right(), margin);
            QCOMPARE(inside.bottom() - list.bottom(), margin);
        };
        for (int languages : {5, 4}) {
            if (languages == 4) Open(four_);
            component_->Style = cldsRadioGroup;
            TLanguageDlg dlg(*component_);
            dlg.Initialise();
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            check(dlg, languages);
        }
        Open(three_);
        component_->Style = cldsRadioGroup;
        {
            // Three languages in the window made for four: the list ends early, its top
            // and sides keep the margin.
            TLanguageDlg dlg(*component_);
            dlg.Initialise();
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            const int margin = dlg.Notebook()->x();
            const QRect inside = dlg.RadioPanel()->contentsRect();
            QCOMPARE(dlg.RadioButtons()[0]->x() - inside.left(), margin);
            QCOMPARE(dlg.RadioButtons()[0]->y() - inside.top(), margin);
            QCOMPARE(inside.right() - dlg.RadioButtons()[2]->geometry().right(), margin);
        }
        component_->Style = cldsComboBox;
        TLanguageDlg dlg(*component_);
        dlg.Initialise();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const int margin = dlg.Notebook()->x();
        const QRect list(dlg.List()->mapTo(&dlg, QPoint()), dlg.List()->size());
        QCOMPARE(list.left(), margin);
        QCOMPARE(list.top(), margin);
        QCOMPARE(dlg.width() - 1 - list.right(), margin);
    }

    void unknownAndEmptyCodes() {
        component_->SetCode("zz");
        {
            TLanguageDlg dlg(*component_);
            dlg.Initialise();
            QCOMPARE(dlg.List()->currentIndex(), -1);
            QVERIFY(dlg.OkButton()->isEnabled());
            // The window previews the code even so, whether or not any table knows it.
            QCOMPARE(QString::fromStdString(dlg.LanguageForm().LanguageDB().Language()),
                     QString("zz"));
            dlg.List()->setCurrentIndex(1);
            QCOMPARE(QString::fromStdString(dlg.Model().Choice()), QString("de"));
        }
        component_->Style = cldsRadioGroup;
        {
            TLanguageDlg dlg(*component_);
            dlg.Initialise();
            for (auto* r : dlg.RadioButtons()) QVERIFY(!r->isChecked());
        }

        component_->Style = cldsComboBox;
        component_->SetCode("");
        TLanguageDlg dlg(*component_);
        dlg.Initialise();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QVERIFY(!dlg.OkButton()->isEnabled());
        QTest::keyClick(&dlg, Qt::Key_Return);
        QVERIFY2(dlg.isVisible(), "OK is disabled while no language is chosen");
        dlg.List()->setFocus();
        QTest::keyClick(dlg.List(), Qt::Key_Down);
        QVERIFY(dlg.OkButton()->isEnabled());
        QTest::keyClick(&dlg, Qt::Key_Return);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(QString::fromStdString(component_->Code()), QString("en"));
    }

    void helpAndCancelFollowTheComponent() {
        int helps = 0;
        component_->OnHelp = [&](TLanguageDialog32Bit&) { ++helps; };
        component_->AllowCancel = false;
        TLanguageDlg dlg(*component_);
        dlg.Initialise();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QVERIFY(!dlg.HelpButton()->isHidden());
        QTest::mouseClick(dlg.HelpButton(), Qt::LeftButton);
        QCOMPARE(helps, 1);
        QVERIFY(dlg.isVisible());

        QVERIFY(!dlg.CancelButton()->isEnabled());
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY2(dlg.isVisible(), "without AllowCancel the window cannot be cancelled");
        // The three buttons share the row without overlapping.
        QVERIFY(!dlg.OkButton()->geometry().intersects(dlg.CancelButton()->geometry()));
        QVERIFY(!dlg.CancelButton()->geometry().intersects(dlg.HelpButton()->geometry()));
        QVERIFY(dlg.rect().contains(dlg.OkButton()->geometry()));
    }

    void executeRunsTheWindowModally() {
        component_->Style = cldsRadioGroup;
        QTimer::singleShot(0, [] {
            auto* dlg = qobject_cast<TLanguageDlg*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            QTest::mouseClick(dlg->RadioButtons()[3], Qt::LeftButton, {}, QPoint(8, 9));
            QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        });
        QVERIFY(ExecuteLanguageDialog(*component_));
        QCOMPARE(QString::fromStdString(component_->Code()), QString("ru"));

        QTimer::singleShot(0, [] {
            auto* dlg = qobject_cast<TLanguageDlg*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            QTest::mouseClick(dlg->RadioButtons()[0], Qt::LeftButton, {}, QPoint(8, 9));
            QTest::keyClick(dlg, Qt::Key_Escape);
        });
        QVERIFY(!ExecuteLanguageDialog(*component_));
        QCOMPARE(QString::fromStdString(component_->Code()), QString("ru"));
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(LangDialogTest)
#include "lang_dialog_test.moc"
