// Checks of the bundled catalogue: the containers built from catalog/ hold every table and
// column the program reads, with types its readers accept; the selection codes of the
// project document occur in the product tables; every language key of the program's
// sources has a text in every language; the evacuation tables and the derived columns
// follow their models; and what the containers read back is what the sources say.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <numbers>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/data/container_format.h"
#include "core/data/str_table_db.h"
#include "core/data/table_text.h"
#include "core/lang/language_blob.h"
#include "core/quantities/my_project_types.h"
#include "tools/vacdb/catalog_source.h"

namespace fs = std::filesystem;

namespace {

const std::string kRoot = VACUUM_SOURCE_DIR;
const std::string kProductDir = kRoot + "/catalog/product";
const std::string kLanguageDir = kRoot + "/catalog/language";
constexpr double kAmbientBar = 1.01325;

// ---- the containers, built once from the sources ----------------------------------------

struct TCatalog {
    TContainerImage Product, Language;
    std::map<std::string, std::unique_ptr<TStrTableDB32Bit>> Tables; // product and "Dialog"
    TLanguageBlob Texts;

    const TStrTableDB32Bit& Table(const std::string& name) const {
        const auto it = Tables.find(name);
        if (it == Tables.end()) throw std::runtime_error("no table " + name);
        return *it->second;
    }
};

std::unique_ptr<TStrTableDB32Bit> LoadTable(const TContainerImage& img, int index) {
    auto t = std::make_unique<TStrTableDB32Bit>();
    t->Loaded();
    t->LoadFromStream(img.Blobs[index]);
    return t;
}

const TCatalog& Catalog() {
    static const TCatalog* catalog = [] {
        auto* c = new TCatalog;
        auto product = std::make_shared<std::vector<uint8_t>>(BuildContainerFromSources(kProductDir, true));
        auto language = std::make_shared<std::vector<uint8_t>>(BuildContainerFromSources(kLanguageDir, false));
        if (!ParseContainer(product, c->Product) || !ParseContainer(language, c->Language))
            throw std::runtime_error("the built containers do not parse");
        for (size_t i = 0; i < c->Product.TableNames.size(); ++i)
            c->Tables[c->Product.TableNames[i]] = LoadTable(c->Product, static_cast<int>(i));
        const int dialog = c->Language.Find("Dialog");
        if (dialog >= 0) c->Tables["Dialog"] = LoadTable(c->Language, dialog);
        const int texts = c->Language.Find("Translations");
        if (texts >= 0) c->Texts = ReadLanguageBlob(c->Language.Blobs[texts]);
        return c;
    }();
    return *catalog;
}

int Col(const TStrTableDB32Bit& t, const std::string& name) {
    for (int c = 0; c < t.Cols(); ++c)
        if (t.ColName(c) == name) return c;
    return -1;
}

std::string Text(const TStrTableDB32Bit& t, int row, const std::string& col) {
    return t.Column(Col(t, col))->GetText(row);
}

double Number(const TStrTableDB32Bit& t, int row, const std::string& col) {
    const TStrFieldDB* f = t.Column(Col(t, col));
    return f->DataType() == csfFloat ? f->GetFloat(row) : f->GetInt(row);
}

// ---- the table list ---------------------------------------------------------------------

using TTypes = std::set<TStrFieldType>;
const TTypes kText = {csfString, csfStringLen};
const TTypes kNumber = {csfByte, csfWord, csfDWord, csfFloat};
const TTypes kInteger = {csfByte, csfWord, csfDWord};
const TTypes kFloat = {csfFloat};
const TTypes kBool = {csfPBool, csfBool};
// Yes/no columns: stored booleans ("X"/"-") or the texts "~Yes"/"~No".
const TTypes kYesNo = {csfPBool, csfBool, csfString};
const TTypes kTextOrNumber = {csfString, csfStringLen, csfByte, csfWord, csfDWord, csfFloat};

struct TColumnNeed {
    std::string Name;
    TTypes Types;
};
struct TTableNeed {
    std::string Name;
    std::vector<TColumnNeed> Columns;
};

const std::vector<TTableNeed>& ProductTables() {
    static const std::vector<TTableNeed> tables = {
        {"qry SuctionCups",
         {{"OrderCode", kText}, {"ShortCut", kText}, {"Group", kText}, {"Size", kText},
          {"~ShapeKey", kText}, {"~MaterialKey", kText}, {"DiameterLong", kNumber},
          {"DiameterShort", kNumber}, {"Connector", kText}, {"HolderType", kText},
          {"HolderSize", kTextOrNumber}, {"StrokeCompensation", kText}, {"Length", kNumber},
          {"Volume", kNumber}, {"Fs07", kNumber}, {"Mass_kg", kNumber}, {"Thread", kTextOrNumber},
          {"~Filter", kYesNo}, {"~AngleCompensator", kYesNo}, {"RminWorkpiece", kNumber},
          {"DmaxSuctionCup", kNumber}, {"~ok", kText}, {"ConnectorName", kText},
          {"HolderDiameter", kNumber}, {"~Saugereinsatz", kYesNo}, {"FormKLW", kInteger}}},
        {"qry Tube",
         {{"PartNo", kInteger}, {"OrderCode", kText}, {"Group", kText}, {"SubGroup", kText},
          {"Packaging", kNumber}, {"Diameter", kFloat}, {"~Food", kYesNo}, {"~Color", kText},
          {"~Calibration", kText}, {"CalInside", kBool}, {"CalOutside", kBool},
          {"DW-x", kText}, {"TX-x", kText}, {"~DiscontinuedType", kYesNo}}},
        {"qry Venturi",
         {{"OrderCode", kText}, {"Kennlinie", kText}, {"ShortCut", kText}, {"Mass_kg", kNumber},
          {"Luftverbrauch", kText}, {"Saugleistung", kText}, {"Schalldruck", kText},
          {"Unterdruck", kText}, {"DLavall", kFloat}, {"Group", kText}, {"FittingP", kText},
          {"FittingV", kText}, {"Switch", kText}, {"~Hysterese", kText}, {"~Filter", kYesNo},
          {"~NonReturnValve", kYesNo}, {"~AirSaving", kYesNo}, {"~Silencer", kYesNo},
          {"~EjectorPulse", kText}, {"~ValveVacuum", kYesNo}, {"~ok", kText}, {"MaxLV", kNumber},
          {"MaxSL", kNumber}, {"MaxSD", kNumber}, {"Time", kNumber}, {"Vacuum", kNumber},
          {"Skalierung", kText}}},
        {"tbl Curve EvacuationTime",
         {{"Curve", kText}, {"Pressure", kNumber}, {"Vacuum", kNumber}, {"Time_ms", kInteger}}},
        {"tEvac BufferSize", {{"pSize", kInteger}, {"vSize", kInteger}}},
        {"VenturiSwitch",
         {{"Switch", kText}, {"NPN", kNumber}, {"PNP", kNumber}, {"U", kNumber}, {"I", kNumber},
          {"ASI", kNumber}}},
        {"Connector", {{"Name", kText}, {"Connection", kText}}},
        {"tbl Density", {{"~Material", kText}, {"min", kNumber}, {"max", kNumber}, {"ProjectKey", kText}}},
        {"tbl CylinderForce",
         {{"Diameter", kFloat}, {"Diameter_mm", kText}, {"Force", kNumber}, {"Mass", kNumber},
          {"VKDmin", kNumber}, {"VKDmax", kNumber}}},
        {"ShockAbsorber",
         {{"OrderCode", kText}, {"ShortCut", kText}, {"Group", kText}, {"Diameter", kNumber},
          {"Stroke", kNumber}, {"Angle_max", kNumber}, {"W_tot", kNumber}, {"W_tot_h", kNumber},
          {"v_min", kNumber}, {"v_max", kNumber}, {"m_max", kNumber}, {"F_max", kNumber},
          {"WRest", kNumber}, {"tr", kNumber}, {"Fr", kNumber}, {"~Medium", kText},
          {"~Cushioning", kText}, {"Rotationsantrieb", kYesNo}, {"Bez", kText}}},
        {"ShockAbsorber Rot", {{"OrderCode", kText}, {"ShortCut", kText}}},
        {"qry RotaryCylinders",
         {{"OrderCode", kText}, {"PistonDiameter", kNumber}, {"AngleMin", kNumber},
          {"AngleMax", kNumber}, {"Angle1", kNumber}, {"Angle2", kNumber}, {"Angle3", kNumber},
          {"Torque", kNumber}, {"MomentOfInertiaMax", kNumber}, {"CushAngleMin", kNumber},
          {"CushAngleMax", kNumber}}},
        {"Order",
         {{"ShortCut", kText}, {"PartNo", kInteger}, {"OrderCode", kText}, {"Package", kInteger},
          {"~Description", kText}}},
        {"tbl Friction",
         {{"~SuctionCup", kText}, {"~Workpiece", kText}, {"min", kNumber}, {"max", kNumber},
          {"typical", kNumber}}},
        {"tbl Durability", {{"~Chemical", kText}, {"~SuctionCup", kText}, {"~Durability", kText}}},
    };
    return tables;
}

const std::vector<std::string> kCurveTables = {"tbl Curve Vacuum", "tbl Curve SuctionCapacity",
                                               "tbl Curve AirComsumption", "tbl Curve SoundPressureLevel"};

TEST(CatalogTables, EveryTableAndColumnTheProgramReadsExistsWithAUsableType) {
    const TCatalog& cat = Catalog();
    for (const auto& want : ProductTables()) {
        SCOPED_TRACE(want.Name);
        ASSERT_GE(cat.Product.Find(want.Name), 0) << "missing table";
        const auto& t = cat.Table(want.Name);
        EXPECT_GT(t.Rows(), 0);
        int last = -1;
        for (const auto& col : want.Columns) {
            const int c = Col(t, col.Name);
            ASSERT_GE(c, 0) << "missing column " << col.Name;
            EXPECT_GT(c, last) << col.Name << " is out of the stored order";
            last = c;
            EXPECT_TRUE(col.Types.count(t.Column(c)->DataType()))
                << col.Name << " has type " << FieldTypeName(t.Column(c)->DataType());
        }
    }
    // The tube table has three fitting-series code columns, each with its "-x" variant.
    const auto& tube = cat.Table("qry Tube");
    int series = 0;
    for (int c = 0; c < tube.Cols(); ++c) {
        const std::string n = tube.ColName(c);
        if (n.size() > 2 && n.substr(n.size() - 2) == "-x") {
            ++series;
            EXPECT_GE(Col(tube, n.substr(0, n.size() - 2)), 0) << n;
        }
    }
    EXPECT_EQ(series, 3);
    EXPECT_EQ(cat.Table("tEvac BufferSize").Rows(), 1);
    EXPECT_EQ(cat.Table("VenturiSwitch").Rows(), 12);
    // Curve families need exactly: name, x, y.
    for (const auto& name : kCurveTables) {
        SCOPED_TRACE(name);
        ASSERT_GE(cat.Product.Find(name), 0);
        const auto& t = cat.Table(name);
        ASSERT_EQ(t.Cols(), 3);
        EXPECT_EQ(t.Column(0)->DataType(), csfString);
        EXPECT_EQ(t.Column(1)->DataType(), csfFloat);
        EXPECT_EQ(t.Column(2)->DataType(), csfFloat);
        EXPECT_GT(t.Rows(), 0);
    }
    EXPECT_EQ(cat.Product.FileFormatVersion, "1.3");
}

TEST(CatalogTables, LanguageContainerHoldsTranslationsAndTheDialogList) {
    const TCatalog& cat = Catalog();
    const int i = cat.Language.Find("Translations");
    ASSERT_GE(i, 0);
    EXPECT_EQ(cat.Language.Kinds[i], "Language");
    EXPECT_EQ(cat.Texts.Codes, (std::vector<std::string>{"en", "de", "fr", "ru", "es", "it", "pl",
                                                          "ja", "zhcn"}));
    ASSERT_TRUE(cat.Tables.count("Dialog"));
    const auto& d = cat.Table("Dialog");
    ASSERT_GE(d.Cols(), 3);
    EXPECT_EQ(d.ColName(0), "ISO");
    EXPECT_EQ(d.ColName(1), "Name");
    EXPECT_TRUE(kText.count(d.Column(0)->DataType()));
    EXPECT_TRUE(d.Column(1)->DataType() == csfWideString || kText.count(d.Column(1)->DataType()));
    EXPECT_EQ(d.Column(2)->DataType(), csfBLOB);
    ASSERT_EQ(d.Rows(), 9);
    const std::vector<std::string> names = {"English",  "Deutsch",  "Français", "Русский", "Español",
                                            "Italiano", "Polski",   "日本語",   "简体中文"};
    for (int r = 0; r < d.Rows(); ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(d.Column(0)->GetText(r), cat.Texts.Codes[r]);
        EXPECT_EQ(d.Column(1)->GetText(r), names[r]);
        // The flag: the picture header (length byte and "TBitmap") and a 24-bit BMP file.
        const auto flag = d.Column(2)->Blob(r);
        ASSERT_GT(flag.size(), 8u + 54u);
        EXPECT_EQ(flag[0], 7);
        EXPECT_EQ(std::string(flag.begin() + 1, flag.begin() + 8), "TBitmap");
        EXPECT_EQ(flag[8], 'B');
        EXPECT_EQ(flag[9], 'M');
        uint32_t size = 0;
        int32_t width = 0, height = 0;
        uint16_t bits = 0;
        std::memcpy(&size, flag.data() + 8 + 2, 4);
        std::memcpy(&width, flag.data() + 8 + 18, 4);
        std::memcpy(&height, flag.data() + 8 + 22, 4);
        std::memcpy(&bits, flag.data() + 8 + 28, 2);
        EXPECT_EQ(size, flag.size() - 8);
        EXPECT_GT(width, 0);
        EXPECT_GT(height, 0);
        EXPECT_EQ(bits, 24);
        EXPECT_EQ(size, 54u + static_cast<uint32_t>(height) * ((width * 3 + 3) / 4 * 4));
    }
}

// ---- selection codes of the project document --------------------------------------------

template <size_t N>
std::vector<std::string> Codes(const std::array<std::string_view, N>& names) {
    std::vector<std::string> out;
    for (auto n : names)
        if (n != "*") out.emplace_back(n);
    return out;
}

// A column whose name begins with "~" holds the code as language key ("~" + code).
std::string CodeOfCell(const std::string& column, const std::string& cell) {
    if (!column.empty() && column[0] == '~' && !cell.empty() && cell[0] == '~') return cell.substr(1);
    return cell;
}

TEST(CatalogCodes, EverySelectionCodeOfTheProjectOccursInItsProductTable) {
    struct TLink {
        std::vector<std::string> Codes;
        std::string Table, Column;
    };
    const std::vector<TLink> links = {
        {Codes(cStrokeCompensationNames), "qry SuctionCups", "StrokeCompensation"},
        {Codes(cAirConnectorNames), "qry SuctionCups", "Connector"},
        {Codes(cHolderTypeNames), "qry SuctionCups", "HolderType"},
        {Codes(cSuctionCupMaterialNames), "qry SuctionCups", "~MaterialKey"},
        {Codes(cSuctionCupShapeNames), "qry SuctionCups", "~ShapeKey"},
        {Codes(cSuctionCupSizeNames), "qry SuctionCups", "Size"},
        {Codes(cSuctionCupGroupNames), "qry SuctionCups", "Group"},
        {Codes(cTubeColorNames), "qry Tube", "~Color"},
        {Codes(cVenturiGroupNames), "qry Venturi", "Group"},
        {Codes(cVenturiThreadNames), "qry Venturi", "FittingP"},
        {Codes(cVenturiThreadNames), "qry Venturi", "FittingV"},
        {Codes(cVenturiSwitchNames), "qry Venturi", "Switch"},
    };
    const TCatalog& cat = Catalog();
    for (const auto& link : links) {
        SCOPED_TRACE(link.Table + " / " + link.Column);
        const auto& t = cat.Table(link.Table);
        const int c = Col(t, link.Column);
        ASSERT_GE(c, 0);
        std::set<std::string> values;
        for (int r = 0; r < t.Rows(); ++r) values.insert(CodeOfCell(link.Column, t.Column(c)->GetText(r)));
        for (const auto& code : link.Codes) EXPECT_TRUE(values.count(code)) << "no row with " << code;
        // And no product carries a value the project could not store.
        const std::set<std::string> known(link.Codes.begin(), link.Codes.end());
        for (const auto& v : values) EXPECT_TRUE(known.count(v)) << v << " is not a selection code";
    }
    // The shape code of a cup row is the position of its shape in the selection table.
    const auto& cups = cat.Table("qry SuctionCups");
    for (int r = 0; r < cups.Rows(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r << " " << Text(cups, r, "OrderCode"));
        const std::string shape = CodeOfCell("~ShapeKey", Text(cups, r, "~ShapeKey"));
        const auto it = std::find(cSuctionCupShapeNames.begin(), cSuctionCupShapeNames.end(), shape);
        ASSERT_NE(it, cSuctionCupShapeNames.end());
        EXPECT_EQ(Number(cups, r, "FormKLW"), it - cSuctionCupShapeNames.begin()) << r;
    }
}

// ---- language keys ----------------------------------------------------------------------

// String literals that begin with "~" and a letter in the program's sources. A literal
// with "|" is a list of column names; its "~" parts are keys.
std::set<std::string> KeysInSources() {
    std::set<std::string> keys;
    const std::regex literal("\"(~[A-Za-z][^\"\\\\\\n]*)\"");
    for (const char* dir : {"core", "cli", "tools", "app", "gui"}) {
        const fs::path root = fs::path(kRoot) / dir;
        if (!fs::exists(root)) continue;
        for (const auto& e : fs::recursive_directory_iterator(root)) {
            const auto ext = e.path().extension();
            if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
            std::ifstream in(e.path(), std::ios::binary);
            std::stringstream ss;
            ss << in.rdbuf();
            const std::string text = ss.str();
            for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) {
                std::stringstream parts((*it)[1].str());
                std::string part;
                while (std::getline(parts, part, '|'))
                    if (part.size() > 1 && part[0] == '~') keys.insert(part);
            }
        }
    }
    return keys;
}

void ExpectTextsInEveryLanguage(const TLanguageBlob& lang, const std::set<std::string>& keys,
                                const std::string& where) {
    std::map<std::string, size_t> index;
    for (size_t k = 0; k < lang.Keys.size(); ++k) index[lang.Keys[k]] = k;
    for (const auto& key : keys) {
        const auto it = index.find(key);
        if (it == index.end()) {
            ADD_FAILURE() << key << " (" << where << ") has no entry in the language container";
            continue;
        }
        for (size_t l = 0; l < lang.Codes.size(); ++l)
            EXPECT_FALSE(lang.Texts[l][it->second].empty()) << key << " has no " << lang.Codes[l] << " text";
    }
}

TEST(CatalogLanguage, EveryKeyOfTheProgramSourcesHasATextInEveryLanguage) {
    const auto keys = KeysInSources();
    // The scan must find the keys the sources are known to hold.
    EXPECT_TRUE(keys.count("~VacuumDisplay"));
    ExpectTextsInEveryLanguage(Catalog().Texts, keys, "program sources");
}

TEST(CatalogLanguage, EveryKeyOfTheProductDataHasATextInEveryLanguage) {
    std::set<std::string> keys;
    for (const auto& [name, t] : Catalog().Tables)
        for (int c = 0; c < t->Cols(); ++c) {
            const std::string col = t->ColName(c);
            if (col.empty() || col[0] != '~') continue;
            keys.insert(col);
            if (!FieldTypeIsText(t->Column(c)->DataType())) continue;
            for (int r = 0; r < t->Rows(); ++r) {
                const std::string v = t->Column(c)->GetText(r);
                if (v.size() > 1 && v[0] == '~') keys.insert(v);
            }
        }
    EXPECT_GT(keys.size(), 100u);
    ExpectTextsInEveryLanguage(Catalog().Texts, keys, "product data");
}

TEST(CatalogLanguage, EveryBundledKeyHasATextInEveryLanguage) {
    // Keys of parts not written yet are bundled already; none may lack a language.
    const auto& lang = Catalog().Texts;
    EXPECT_GT(lang.Keys.size(), 300u);
    std::set<std::string> keys(lang.Keys.begin(), lang.Keys.end());
    EXPECT_EQ(keys.size(), lang.Keys.size()) << "a key twice";
    for (const auto& k : keys) EXPECT_EQ(k.rfind("~", 0), 0u) << k;
    ExpectTextsInEveryLanguage(lang, keys, "language container");
}

// Texts that read the same in a language as in English, by key, with those languages.
const std::map<std::string, std::set<std::string>> kSameAsEnglish = {
    // Symbols, codes and abbreviations (material codes, "OK", "Fax", "Info"), and labels
    // that are such a code with an axis letter or a number.
    {"~ABS", {"de", "fr", "es", "it", "pl", "ja", "zhcn"}}, {"~Fax", {"de", "fr", "es", "it"}},
    {"~ForceX", {"fr"}}, {"~ForceY", {"fr"}}, {"~ForceZ", {"fr"}}, {"~HorizontalX", {"de", "fr"}},
    {"~HorizontalY", {"de", "fr"}}, {"~Info", {"de", "fr"}}, {"~LinearX", {"de"}},
    {"~LinearY", {"de"}}, {"~OK", {"de", "fr", "it", "pl", "ja"}},
    {"~PET", {"de", "fr", "es", "it", "pl", "ja", "zhcn"}}, {"~POM", {"de"}},
    {"~PTFE", {"de", "fr", "es", "it", "pl", "ja", "zhcn"}},
    {"~PVC", {"de", "fr", "es", "it", "pl", "ja", "zhcn"}}, {"~Page%d", {"fr"}},
    {"~Polyamide", {"fr"}}, {"~Polycarbonate", {"fr"}}, {"~PositionX", {"de", "fr"}},
    {"~PositionY", {"de", "fr"}}, {"~PositionZ", {"de", "fr"}}, {"~SI", {"fr"}},
    {"~Version%s", {"de", "fr"}},
    // Words the language spells as English does (French "Angle", German "Filter", Italian
    // "File", Spanish "Error" ...): the translation is the same word.
    {"~Acetone", {"it"}}, {"~Aluminium", {"de", "fr", "pl"}}, {"~Angle", {"fr"}},
    {"~Bronze", {"de", "fr"}}, {"~Description", {"fr"}}, {"~Dimensions", {"fr"}},
    {"~Direction", {"fr"}}, {"~Distances", {"fr"}}, {"~Elastomer", {"de", "pl"}},
    {"~Error", {"es"}}, {"~Ethanol", {"de"}}, {"~File", {"it"}}, {"~Filter", {"de"}},
    {"~Force", {"fr"}}, {"~Forces", {"fr"}}, {"~Index", {"de", "fr"}}, {"~Linear", {"de"}},
    {"~Magnesium", {"de"}}, {"~Material", {"es"}}, {"~MaterialKey", {"es"}}, {"~Medium", {"de"}},
    {"~Moments", {"fr"}}, {"~No", {"es", "it"}}, {"~Options", {"fr"}}, {"~Pause", {"de", "fr"}},
    {"~Polar", {"de", "es"}}, {"~Toluene", {"it"}}, {"~Volume", {"fr", "it"}}, {"~Zinc", {"fr"}},
    {"~nature", {"es"}}, {"~oval", {"de"}},
};

TEST(CatalogLanguage, EveryTextIsTranslatedExceptSymbolsCodesAndNames) {
    const auto& lang = Catalog().Texts;
    ASSERT_EQ(lang.Codes.at(0), "en");
    std::set<std::string> sameNeeded;
    for (size_t k = 0; k < lang.Keys.size(); ++k) {
        const std::string& key = lang.Keys[k];
        const std::string& en = lang.Texts[0][k];
        const auto allowed = kSameAsEnglish.find(key);
        for (size_t l = 1; l < lang.Codes.size(); ++l) {
            if (lang.Texts[l][k] != en) continue;
            const bool listed = allowed != kSameAsEnglish.end() && allowed->second.count(lang.Codes[l]);
            EXPECT_TRUE(listed) << key << " is left in English in " << lang.Codes[l] << ": " << en;
            sameNeeded.insert(key);
        }
    }
    // The list names nothing that is translated.
    for (const auto& [key, codes] : kSameAsEnglish) EXPECT_TRUE(sameNeeded.count(key)) << key;
}

TEST(CatalogLanguage, FormatKeysKeepTheirPlaceholdersInEveryLanguage) {
    const auto& lang = Catalog().Texts;
    auto count = [](const std::string& s, const std::string& what) {
        size_t n = 0;
        for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
        return n;
    };
    for (size_t k = 0; k < lang.Keys.size(); ++k) {
        const std::string& en = lang.Texts[0][k];
        for (size_t l = 1; l < lang.Codes.size(); ++l) {
            EXPECT_EQ(count(lang.Texts[l][k], "%d"), count(en, "%d")) << lang.Keys[k] << " " << lang.Codes[l];
            EXPECT_EQ(count(lang.Texts[l][k], "%s"), count(en, "%s")) << lang.Keys[k] << " " << lang.Codes[l];
        }
    }
    // The record labels are formatted with two numbers, then " - %d " is appended.
    const auto it = std::find(lang.Keys.begin(), lang.Keys.end(), "~LabelRecords");
    ASSERT_NE(it, lang.Keys.end());
    EXPECT_EQ(count(lang.Texts[0][it - lang.Keys.begin()], "%d"), 2u);
}

// ---- curves and evacuation times --------------------------------------------------------

using TCurve = std::vector<std::pair<double, double>>;

std::map<std::string, TCurve> Curves(const TStrTableDB32Bit& t) {
    std::map<std::string, TCurve> out;
    for (int r = 0; r < t.Rows(); ++r)
        out[t.Column(0)->GetText(r)].push_back({t.Column(1)->GetFloat(r), t.Column(2)->GetFloat(r)});
    return out;
}

double At(const TCurve& c, double x) {
    if (x <= c.front().first) return c.front().second;
    if (x >= c.back().first) return c.back().second;
    for (size_t i = 1; i < c.size(); ++i)
        if (x <= c[i].first)
            return c[i - 1].second + (x - c[i - 1].first) / (c[i].first - c[i - 1].first) *
                                         (c[i].second - c[i - 1].second);
    return c.back().second;
}

struct TEvacGroup {
    double Pressure;
    std::vector<double> Vacuum, Time;
};

TEST(CatalogCurves, CurveFamiliesHaveAscendingPointsAndEveryGeneratorFindsItsCurves) {
    const TCatalog& cat = Catalog();
    std::map<std::string, std::map<std::string, TCurve>> families;
    for (const auto& name : kCurveTables) {
        families[name] = Curves(cat.Table(name));
        for (const auto& [curve, points] : families[name]) {
            EXPECT_LE(curve.size(), 20u) << curve;
            for (size_t i = 1; i < points.size(); ++i)
                EXPECT_LT(points[i - 1].first, points[i].first) << curve;
            EXPECT_LE(points.front().first, 3.0) << curve;
            EXPECT_GE(points.back().first, 7.0) << curve;
        }
    }
    const auto& v = cat.Table("qry Venturi");
    const std::vector<std::pair<std::string, std::string>> uses = {
        {"Unterdruck", "tbl Curve Vacuum"}, {"Saugleistung", "tbl Curve SuctionCapacity"},
        {"Luftverbrauch", "tbl Curve AirComsumption"}, {"Schalldruck", "tbl Curve SoundPressureLevel"}};
    for (int r = 0; r < v.Rows(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r << " " << Text(v, r, "OrderCode"));
        for (const auto& [column, family] : uses)
            EXPECT_TRUE(families[family].count(Text(v, r, column))) << Text(v, r, "OrderCode") << " " << column;
        const auto& vac = families["tbl Curve Vacuum"][Text(v, r, "Unterdruck")];
        if (vac.empty()) continue;
        for (size_t i = 1; i < vac.size(); ++i) EXPECT_LE(vac[i - 1].second, vac[i].second);
        EXPECT_GT(At(vac, 3.0), 0.4);
        EXPECT_LT(At(vac, 7.0), 1.0);
        // Chart ranges cover the curves at up to 7 bar.
        const auto& air = families["tbl Curve AirComsumption"][Text(v, r, "Luftverbrauch")];
        const auto& suc = families["tbl Curve SuctionCapacity"][Text(v, r, "Saugleistung")];
        const auto& snd = families["tbl Curve SoundPressureLevel"][Text(v, r, "Schalldruck")];
        if (air.empty() || suc.empty() || snd.empty()) continue;
        EXPECT_GE(Number(v, r, "MaxLV"), At(air, 7.0));
        for (const auto& p : suc) EXPECT_GE(Number(v, r, "MaxSL"), p.second);
        EXPECT_GE(Number(v, r, "MaxSD"), At(snd, 7.0));
        // A silencer lowers the sound level.
        if (Text(v, r, "~Silencer") == "~Yes") {
            const std::string open = Text(v, r, "Schalldruck").substr(0, Text(v, r, "Schalldruck").size() - 2);
            if (families["tbl Curve SoundPressureLevel"].count(open)) {
                EXPECT_LT(At(snd, 6.0), At(families["tbl Curve SoundPressureLevel"][open], 6.0));
            }
        }
    }
}

TEST(CatalogCurves, EvacuationTablesAreMonotoneInVacuumAndCoverThreeToSevenBar) {
    const TCatalog& cat = Catalog();
    const auto& t = cat.Table("tbl Curve EvacuationTime");
    const auto& buffer = cat.Table("tEvac BufferSize");
    const double pSize = Number(buffer, 0, "pSize"), vSize = Number(buffer, 0, "vSize");
    std::map<std::string, std::vector<TEvacGroup>> curves;
    std::string previous;
    for (int r = 0; r < t.Rows(); ++r) {
        const std::string name = Text(t, r, "Curve");
        if (name != previous) {
            ASSERT_FALSE(curves.count(name)) << name << ": rows of one curve must be contiguous";
            previous = name;
        }
        auto& groups = curves[name];
        const double p = Number(t, r, "Pressure");
        if (groups.empty() || groups.back().Pressure != p) {
            if (!groups.empty()) {
                EXPECT_GT(p, groups.back().Pressure) << name;
            }
            groups.push_back({p, {}, {}});
        }
        groups.back().Vacuum.push_back(Number(t, r, "Vacuum"));
        groups.back().Time.push_back(Number(t, r, "Time_ms"));
    }
    ASSERT_FALSE(curves.empty());
    for (const auto& [name, groups] : curves) {
        SCOPED_TRACE(name);
        ASSERT_GE(groups.size(), 2u);
        EXPECT_LE(groups.front().Pressure, 3.0);
        EXPECT_GE(groups.back().Pressure, 7.0);
        EXPECT_LE(groups.size(), pSize);
        const TEvacGroup* longest = &groups.front();
        for (const auto& g : groups)
            if (g.Vacuum.size() > longest->Vacuum.size()) longest = &g;
        EXPECT_LE(longest->Vacuum.size(), vSize);
        for (const auto& g : groups) {
            ASSERT_GE(g.Vacuum.size(), 2u) << g.Pressure;
            for (size_t j = 0; j < g.Vacuum.size(); ++j) {
                // Every group runs through the same vacuum levels.
                EXPECT_EQ(g.Vacuum[j], longest->Vacuum[j]) << g.Pressure;
                EXPECT_GT(g.Time[j], 0) << g.Pressure;
                if (j == 0) continue;
                EXPECT_GT(g.Vacuum[j], g.Vacuum[j - 1]) << g.Pressure;
                EXPECT_GT(g.Time[j], g.Time[j - 1]) << g.Pressure << " bar at " << g.Vacuum[j] << " bar";
            }
            EXPECT_GE(g.Vacuum.front(), 0.0);
            EXPECT_LE(g.Vacuum.back(), 0.9 + 1e-9);
        }
    }
    // Every generator names an existing table, and every table is used.
    const auto& v = cat.Table("qry Venturi");
    std::set<std::string> used;
    for (int r = 0; r < v.Rows(); ++r) {
        used.insert(Text(v, r, "Kennlinie"));
        EXPECT_TRUE(curves.count(Text(v, r, "Kennlinie"))) << Text(v, r, "OrderCode");
    }
    for (const auto& [name, groups] : curves) EXPECT_TRUE(used.count(name)) << name << " is not used";
}

TEST(CatalogCurves, EvacuationTimesFollowTheLinearFlowModel) {
    // One litre, isothermal, suction flow falling linearly from q0 at no vacuum to 0 at
    // vmax: t(v) = V vmax / (p_amb q0) ln(vmax / (vmax - v)). The tables were integrated
    // numerically; here the closed form is evaluated from the published curves.
    const TCatalog& cat = Catalog();
    const auto vac = Curves(cat.Table("tbl Curve Vacuum"));
    const auto suc = Curves(cat.Table("tbl Curve SuctionCapacity"));
    const auto& v = cat.Table("qry Venturi");
    const auto& t = cat.Table("tbl Curve EvacuationTime");
    std::map<std::string, std::pair<std::string, std::string>> curveOf;
    for (int r = 0; r < v.Rows(); ++r)
        curveOf[Text(v, r, "Kennlinie")] = {Text(v, r, "Unterdruck"), Text(v, r, "Saugleistung")};
    int checked = 0;
    for (int r = 0; r < t.Rows(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r);
        const auto it = curveOf.find(Text(t, r, "Curve"));
        if (it == curveOf.end()) continue;
        const double p = Number(t, r, "Pressure"), level = Number(t, r, "Vacuum");
        const double vmax = At(vac.at(it->second.first), p);
        const double q0 = At(suc.at(it->second.second), p) / 60.0; // l/s
        ASSERT_LT(level, vmax) << Text(t, r, "Curve") << " lists a vacuum it cannot reach";
        const double model = 1.0 * vmax / (kAmbientBar * q0) * std::log(vmax / (vmax - level)) * 1000;
        // The curves are rounded to 3 (vacuum) and 2 (flow) decimals.
        EXPECT_NEAR(Number(t, r, "Time_ms"), model, 1.0 + 0.03 * model)
            << Text(t, r, "Curve") << " " << p << " bar " << level << " bar";
        ++checked;
    }
    EXPECT_EQ(checked, t.Rows());
}

// ---- derived product columns ------------------------------------------------------------

double NominalArea(const std::string& shape, double dl, double ds) {
    if (shape == "oval") return (dl - ds) * ds + std::numbers::pi / 4 * ds * ds;
    return std::numbers::pi / 4 * dl * dl;
}

TEST(CatalogProducts, SuctionCupForcesVolumesAndMassesFollowSizeAndShape) {
    const auto& t = Catalog().Table("qry SuctionCups");
    std::set<std::string> codes;
    std::map<std::string, std::map<double, int>> insertBySize; // shape|material -> size -> row
    std::map<double, std::map<std::string, double>> forceBySizeShape;
    for (int r = 0; r < t.Rows(); ++r) {
        const std::string code = Text(t, r, "OrderCode");
        EXPECT_TRUE(codes.insert(code).second) << code << " twice";
        EXPECT_LE(code.size(), 30u) << code;
        const std::string shape = CodeOfCell("~ShapeKey", Text(t, r, "~ShapeKey"));
        const double dl = Number(t, r, "DiameterLong"), ds = Number(t, r, "DiameterShort");
        EXPECT_GE(dl, ds) << code;
        EXPECT_EQ(shape == "oval", dl != ds) << code;
        // Holding force at 0.7 bar: 0.07 N/mm^2 on the effective area, a share of the
        // nominal area that is largest for flat cups.
        const double share = Number(t, r, "Fs07") / (0.07 * NominalArea(shape, dl, ds));
        EXPECT_GT(share, 0.5) << code;
        EXPECT_LT(share, 0.85) << code;
        EXPECT_GT(Number(t, r, "Volume"), 0) << code;
        EXPECT_GT(Number(t, r, "Mass_kg"), 0) << code;
        EXPECT_GT(Number(t, r, "Length"), 0) << code;
        EXPECT_GT(Number(t, r, "HolderDiameter"), 0) << code;
        EXPECT_GT(Number(t, r, "RminWorkpiece"), 0) << code;
        EXPECT_GE(Number(t, r, "DmaxSuctionCup"), dl) << code;
        const bool insert = Text(t, r, "~Saugereinsatz") == "~Yes";
        EXPECT_EQ(insert, Text(t, r, "HolderType") == "-") << code;
        if (insert) insertBySize[shape + "|" + Text(t, r, "~MaterialKey")][dl] = r;
        if (shape != "oval") forceBySizeShape[dl][shape] = Number(t, r, "Fs07");
        EXPECT_EQ(Text(t, r, "~AngleCompensator") == "X", Text(t, r, "HolderType") == "H7") << code;
    }
    // The cup alone grows with its size in force, volume and mass.
    for (const auto& [key, bySize] : insertBySize) {
        int prev = -1;
        for (const auto& [size, row] : bySize) {
            if (prev >= 0) {
                EXPECT_GT(Number(t, row, "Fs07"), Number(t, prev, "Fs07")) << key << " " << size;
                EXPECT_GT(Number(t, row, "Volume"), Number(t, prev, "Volume")) << key << " " << size;
                EXPECT_GT(Number(t, row, "Mass_kg"), Number(t, prev, "Mass_kg")) << key << " " << size;
            }
            prev = row;
        }
    }
    // Deep and bellows cups hold less than a flat cup of the same size.
    int compared = 0;
    for (const auto& [size, byShape] : forceBySizeShape) {
        if (!byShape.count("standart")) continue;
        for (const auto& [shape, force] : byShape)
            if (shape != "standart") {
                EXPECT_LT(force, byShape.at("standart")) << shape << " " << size;
                ++compared;
            }
    }
    EXPECT_GT(compared, 10);
}

TEST(CatalogProducts, EveryCupWithAConnectionHasAFittingTube) {
    const TCatalog& cat = Catalog();
    const auto& cups = cat.Table("qry SuctionCups");
    const auto& tubes = cat.Table("qry Tube");
    const auto& conn = cat.Table("Connector");
    std::set<std::string> tubeCodes;
    for (int r = 0; r < tubes.Rows(); ++r) {
        tubeCodes.insert(Text(tubes, r, "DW-x"));
        tubeCodes.insert(Text(tubes, r, "TX-x"));
        const double d = Number(tubes, r, "Diameter");
        EXPECT_GT(d, 0.001) << "inner diameter in metres";
        EXPECT_LT(d, 0.02) << "inner diameter in metres";
    }
    std::map<std::string, std::set<std::string>> fits; // connector name -> tube codes
    for (int r = 0; r < conn.Rows(); ++r) {
        const std::string c = Text(conn, r, "Connection");
        EXPECT_TRUE(tubeCodes.count(c)) << c << " matches no tube";
        fits[Text(conn, r, "Name")].insert(c);
    }
    for (int r = 0; r < cups.Rows(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r << " " << Text(cups, r, "OrderCode"));
        if (Text(cups, r, "Connector") == "-") continue; // an insert, no connection of its own
        const std::string name = Text(cups, r, "ConnectorName");
        EXPECT_LE(name.size(), 10u);
        EXPECT_FALSE(fits[name].empty()) << Text(cups, r, "OrderCode") << ": no tube fits " << name;
    }
}

std::string FillTemplate(const std::string& templ, const std::string& arg) {
    const size_t p = templ.find("%s");
    return p == std::string::npos ? templ : templ.substr(0, p) + arg + templ.substr(p + 2);
}

// The argument for a cup: the order code after its second "-".
std::string AfterSecondDash(const std::string& code) {
    auto after = [](const std::string& s) {
        const size_t p = s.find('-');
        return p == std::string::npos ? std::string() : s.substr(p + 1);
    };
    return after(after(code));
}

TEST(CatalogProducts, OrderTableCoversEveryPartTheListCanHold) {
    const TCatalog& cat = Catalog();
    const auto& order = cat.Table("Order");
    std::map<std::string, int> rowOf;
    for (int r = 0; r < order.Rows(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r);
        EXPECT_TRUE(rowOf.emplace(Text(order, r, "ShortCut"), r).second) << Text(order, r, "ShortCut");
        EXPECT_GT(Number(order, r, "PartNo"), 0);
        EXPECT_LE(std::to_string(static_cast<long long>(Number(order, r, "PartNo"))).size(), 8u);
        EXPECT_GT(Number(order, r, "Package"), 0);
        EXPECT_LE(Text(order, r, "OrderCode").size(), 30u);
        EXPECT_EQ(Text(order, r, "~Description").rfind("~", 0), 0u);
    }
    auto expectOrder = [&](const std::string& key, const std::string& arg, const std::string& code) {
        const auto it = rowOf.find(key);
        if (it == rowOf.end()) {
            ADD_FAILURE() << key << " is not in the order table";
            return;
        }
        const std::string filled = FillTemplate(Text(order, it->second, "OrderCode"), arg);
        EXPECT_EQ(filled, code) << key;
        EXPECT_LE(filled.size(), 30u);
    };
    const auto& cups = cat.Table("qry SuctionCups");
    for (int r = 0; r < cups.Rows(); ++r) {
        const std::string code = Text(cups, r, "OrderCode");
        expectOrder(Text(cups, r, "ShortCut"), AfterSecondDash(code), code);
    }
    const auto& gens = cat.Table("qry Venturi");
    for (int r = 0; r < gens.Rows(); ++r)
        expectOrder(Text(gens, r, "ShortCut"), Text(gens, r, "OrderCode"), Text(gens, r, "OrderCode"));
    const auto& tubes = cat.Table("qry Tube");
    for (int r = 0; r < tubes.Rows(); ++r) {
        const std::string code = Text(tubes, r, "OrderCode");
        expectOrder(code, "", code);
        expectOrder(std::to_string(tubes.Column(Col(tubes, "PartNo"))->GetInt(r)), "", code);
    }
    for (const char* name : {"ShockAbsorber", "ShockAbsorber Rot"}) {
        const auto& t = cat.Table(name);
        for (int r = 0; r < t.Rows(); ++r) expectOrder(Text(t, r, "OrderCode"), "", Text(t, r, "OrderCode"));
    }
}

TEST(CatalogProducts, DrivesFollowTheirRatings) {
    const TCatalog& cat = Catalog();
    const auto& cyl = cat.Table("tbl CylinderForce");
    for (int r = 0; r < cyl.Rows(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r);
        const double d = Number(cyl, r, "Diameter");
        EXPECT_NEAR(Number(cyl, r, "Force"), 6e5 * std::numbers::pi / 4 * d * d, 0.1) << d;
        EXPECT_EQ(Text(cyl, r, "Diameter_mm"), std::to_string(static_cast<int>(std::lround(d * 1000))) + " mm");
        EXPECT_LE(Number(cyl, r, "VKDmin"), Number(cyl, r, "VKDmax"));
        if (r > 0) {
            EXPECT_GT(d, Number(cyl, r - 1, "Diameter"));
            EXPECT_GT(Number(cyl, r, "Mass"), Number(cyl, r - 1, "Mass"));
        }
    }
    EXPECT_NEAR(Number(cyl, 0, "Diameter"), 0.006, 1e-12) << "the project's default bore";

    const auto& abs = cat.Table("ShockAbsorber");
    std::map<std::string, int> absRow;
    for (int r = 0; r < abs.Rows(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r << " " << Text(abs, r, "OrderCode"));
        absRow[Text(abs, r, "OrderCode")] = r;
        EXPECT_EQ(Text(abs, r, "Bez"), Text(abs, r, "OrderCode"));
        const double stroke = Number(abs, r, "Stroke");
        EXPECT_GT(stroke, 0.001) << "stroke in metres";
        EXPECT_LT(stroke, 0.1) << "stroke in metres";
        // The end force is at least what a constant force over the stroke needs.
        EXPECT_GE(Number(abs, r, "F_max") * stroke, Number(abs, r, "W_tot") * 0.999);
        EXPECT_GT(Number(abs, r, "W_tot_h"), Number(abs, r, "W_tot"));
        EXPECT_LT(Number(abs, r, "v_min"), Number(abs, r, "v_max"));
        const std::string medium = Text(abs, r, "~Medium");
        EXPECT_TRUE(medium == "~Elastomer" || medium == "~Oil") << medium;
    }
    const auto& rot = cat.Table("ShockAbsorber Rot");
    for (int r = 0; r < rot.Rows(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r << " " << Text(rot, r, "OrderCode"));
        const auto it = absRow.find(Text(rot, r, "OrderCode"));
        ASSERT_NE(it, absRow.end()) << Text(rot, r, "OrderCode");
        EXPECT_TRUE(abs.Column(Col(abs, "Rotationsantrieb"))->GetBool(it->second));
        EXPECT_EQ(Text(rot, r, "ShortCut"), Text(abs, it->second, "ShortCut"));
    }

    const auto& ra = cat.Table("qry RotaryCylinders");
    bool offers180 = false;
    for (int r = 0; r < ra.Rows(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r);
        EXPECT_LE(Number(ra, r, "AngleMin"), Number(ra, r, "AngleMax"));
        EXPECT_GT(Number(ra, r, "Torque"), 0);
        EXPECT_GT(Number(ra, r, "MomentOfInertiaMax"), 0);
        EXPECT_GT(Number(ra, r, "CushAngleMin"), 0);
        EXPECT_LE(Number(ra, r, "CushAngleMin"), Number(ra, r, "CushAngleMax"));
        const double a = 180;
        offers180 |= (Number(ra, r, "AngleMin") <= a && a <= Number(ra, r, "AngleMax")) ||
                     Number(ra, r, "Angle1") == a || Number(ra, r, "Angle2") == a || Number(ra, r, "Angle3") == a;
    }
    EXPECT_TRUE(offers180);
}

TEST(CatalogProducts, MaterialTablesHoldConsistentRanges) {
    const TCatalog& cat = Catalog();
    const auto& dens = cat.Table("tbl Density");
    std::set<std::string> keys;
    for (int r = 0; r < dens.Rows(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r);
        EXPECT_GT(Number(dens, r, "min"), 0);
        EXPECT_LE(Number(dens, r, "min"), Number(dens, r, "max"));
        EXPECT_LT(Number(dens, r, "max"), 30000) << "the density field's limit";
        EXPECT_TRUE(keys.insert(Text(dens, r, "ProjectKey")).second);
        EXPECT_LE(Text(dens, r, "ProjectKey").size(), 80u);
    }
    const auto& fr = cat.Table("tbl Friction");
    for (int r = 0; r < fr.Rows(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r);
        EXPECT_LE(Number(fr, r, "min"), Number(fr, r, "typical"));
        EXPECT_LE(Number(fr, r, "typical"), Number(fr, r, "max"));
        EXPECT_LE(Number(fr, r, "max"), 2.0) << "the friction field's limit";
    }
    // Both material tables speak of the cup materials of the selection table.
    std::set<std::string> materials;
    for (const auto& m : Codes(cSuctionCupMaterialNames)) materials.insert("~" + m);
    for (const char* name : {"tbl Friction", "tbl Durability"}) {
        const auto& t = cat.Table(name);
        std::set<std::string> seen;
        for (int r = 0; r < t.Rows(); ++r) seen.insert(Text(t, r, "~SuctionCup"));
        EXPECT_EQ(seen, materials) << name;
    }
}

// ---- the containers read back what the sources say --------------------------------------

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> out;
    size_t start = 0;
    while (true) {
        const size_t tab = line.find('\t', start);
        out.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) return out;
        start = tab + 1;
    }
}

std::vector<std::string> DataLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

struct TIndexLine {
    std::string Kind, Name, File;
};

std::vector<TIndexLine> IndexOf(const std::string& dir) {
    std::vector<TIndexLine> out;
    for (const auto& line : DataLines(dir + "/index.tsv")) {
        if (line[0] == '#' || line.find('\t') == std::string::npos) continue;
        const auto cells = SplitTabs(line);
        if (cells.size() == 3) out.push_back({cells[0], cells[1], cells[2]});
    }
    return out;
}

bool SourceBool(const std::string& cell) { return cell == "X" || cell == "1"; }

// Compares one table's dump (the cell texts as the table reads them) with its source.
void ExpectDumpMatchesSource(const TStrTableDB32Bit& table, const std::string& dir, const std::string& file) {
    const auto source = DataLines(dir + "/" + file);
    ASSERT_FALSE(source.empty());
    const auto header = SplitTabs(source[0]);
    std::vector<std::string> dump;
    {
        std::stringstream ss(TableToTsv(table));
        std::string line;
        while (std::getline(ss, line)) dump.push_back(line);
    }
    ASSERT_EQ(dump.size(), source.size()) << "rows";
    const auto dumpHeader = SplitTabs(dump[0]);
    ASSERT_EQ(dumpHeader.size(), header.size());
    for (size_t c = 0; c < header.size(); ++c) {
        EXPECT_EQ(dumpHeader[c], header[c].substr(0, header[c].find(':')));
        const std::string typeName = header[c].substr(header[c].find(':') + 1);
        EXPECT_EQ(FieldTypeName(table.Column(static_cast<int>(c))->DataType()),
                  typeName.substr(0, typeName.find(':')))
            << header[c];
    }
    for (size_t r = 1; r < source.size(); ++r) {
        const auto want = SplitTabs(source[r]);
        const auto got = SplitTabs(dump[r]);
        ASSERT_EQ(want.size(), header.size()) << file << ":" << r + 1;
        ASSERT_EQ(got.size(), header.size()) << file << " dump line " << r + 1;
        for (size_t c = 0; c < header.size(); ++c) {
            const TStrFieldDB* f = table.Column(static_cast<int>(c));
            const TStrFieldType type = f->DataType();
            const std::string where = file + ":" + std::to_string(r + 1) + " " + dumpHeader[c];
            if (FieldTypeIsBool(type)) {
                EXPECT_EQ(got[c], SourceBool(want[c]) ? "X" : "-") << where;
            } else if (FieldTypeIsInt(type)) {
                EXPECT_EQ(std::stoll(got[c]), want[c].empty() ? 0 : std::stoll(want[c])) << where;
            } else if (type == csfFloat) {
                const double w = want[c].empty() ? 0 : std::stod(want[c]);
                EXPECT_NEAR(std::stod(got[c]), w, 1e-9 * std::max(1.0, std::fabs(w))) << where;
            } else if (type == csfBLOB) {
                EXPECT_EQ(got[c], "<BLOB>") << where;
                const auto bytes = f->Blob(static_cast<int>(r - 1));
                std::vector<uint8_t> expected;
                if (want[c].rfind("@", 0) == 0) {
                    std::ifstream in(dir + "/" + want[c].substr(1), std::ios::binary);
                    expected.assign(std::istreambuf_iterator<char>(in), {});
                }
                EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), expected) << where;
            } else {
                EXPECT_EQ(UnescapeCell(got[c]), UnescapeCell(want[c])) << where;
            }
        }
    }
}

TEST(CatalogReadBack, EveryTableReadsBackWhatItsSourceSays) {
    const TCatalog& cat = Catalog();
    const auto product = IndexOf(kProductDir);
    EXPECT_EQ(product.size(), cat.Product.TableNames.size());
    for (const auto& e : product) {
        SCOPED_TRACE(e.Name);
        const int i = cat.Product.Find(e.Name);
        ASSERT_GE(i, 0);
        EXPECT_EQ(cat.Product.Kinds[i], e.Kind);
        ExpectDumpMatchesSource(cat.Table(e.Name), kProductDir, e.File);
    }
    for (const auto& e : IndexOf(kLanguageDir)) {
        SCOPED_TRACE(e.Name);
        if (e.Kind != "Language") {
            ExpectDumpMatchesSource(cat.Table(e.Name), kLanguageDir, e.File);
            continue;
        }
        const auto lines = DataLines(kLanguageDir + "/" + e.File);
        ASSERT_EQ(lines.size(), cat.Texts.Keys.size() + 1);
        for (size_t k = 1; k < lines.size(); ++k) {
            const auto cells = SplitTabs(lines[k]);
            ASSERT_EQ(cells.size(), cat.Texts.Codes.size() + 1);
            EXPECT_EQ(cat.Texts.Keys[k - 1], UnescapeCell(cells[0]));
            for (size_t l = 0; l < cat.Texts.Codes.size(); ++l)
                EXPECT_EQ(cat.Texts.Texts[l][k - 1], UnescapeCell(cells[l + 1])) << cells[0];
        }
    }
}

TEST(CatalogReadBack, LargeRepetitiveTablesAreStoredInDictionaryForm) {
    const TCatalog& cat = Catalog();
    for (const char* name : {"qry SuctionCups", "qry Tube", "qry Venturi", "tbl Curve EvacuationTime", "Order"}) {
        const auto& t = cat.Table(name);
        EXPECT_TRUE(t.Indexed()) << name;
        EXPECT_TRUE(t.ReadOnly()) << name;
    }
    // The dictionary form pays off: the suction cup blob is far below one value per cell.
    const auto& cups = cat.Table("qry SuctionCups");
    const auto blob = cat.Product.Blobs[cat.Product.Find("qry SuctionCups")];
    EXPECT_LT(blob.size(), static_cast<size_t>(cups.Rows()) * cups.Cols() * 8);
}

} // namespace
