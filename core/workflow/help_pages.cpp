#include "core/workflow/help_pages.h"

#include "core/calc/drive.h"
#include "core/calc/forces.h"
#include "core/data/custom_table.h"
#include "core/data/orsik_connection.h"
#include "core/quantities/number_format.h"
#include "core/workflow/page_workflow.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

namespace {

// ---- the page texts ---------------------------------------------------------------------

// One block of a page. Consecutive items make one list and consecutive formulae one table;
// a formula's math is HTML written here (symbols are the same in every language), its
// description a language key.
enum TBlockKind { cbHeading, cbParagraph, cbItem, cbFormula };

struct TBlock {
    TBlockKind Kind;
    std::string_view Key;
    std::string_view Math = {};
};

struct TPageText {
    int Topic;
    std::vector<TBlock> Blocks;
    //! Topics listed under "see also".
    std::vector<int> SeeAlso;
};

// Topics of the pages the main window opens with F1 (the rest are reference pages).
constexpr int cTopicWorkpiece = 2;
constexpr int cTopicTube = 3;
constexpr int cTopicVenturi = 4;
constexpr int cTopicMotion = 5;
constexpr int cTopicPositioning = 6;
constexpr int cTopicSuctionCup = 8;
constexpr int cTopicDrive = 9;
constexpr int cTopicForces = 10;

const std::vector<TPageText>& PageTexts() {
    static const std::vector<TPageText> pages = {
        {cHelpOperatingInstructions,
         {{cbParagraph, "~HelpOpIntro"},
          {cbItem, "~HelpOpStep1"},
          {cbItem, "~HelpOpStep2"},
          {cbItem, "~HelpOpStep3"},
          {cbItem, "~HelpOpStep4"},
          {cbItem, "~HelpOpStep5"},
          {cbItem, "~HelpOpStep6"},
          {cbHeading, "~SuctionCupLoad"},
          {cbParagraph, "~HelpOpLoad"},
          {cbHeading, "~PartsList"},
          {cbParagraph, "~HelpOpPartsList"}},
         {cHelpContents, cHelpFormulae}},
        {cTopicWorkpiece,
         {{cbParagraph, "~HelpWorkpieceIntro"},
          {cbItem, "~HelpWorkpieceShape"},
          {cbItem, "~HelpWorkpieceDensity"},
          {cbItem, "~HelpWorkpieceFriction"},
          {cbItem, "~HelpWorkpieceGrip"}},
         {cHelpFrictionValues, cHelpFormulae}},
        {cTopicPositioning,
         {{cbParagraph, "~HelpPositioningIntro"},
          {cbItem, "~HelpPositioningStrategy"},
          {cbItem, "~HelpPositioningDistances"},
          {cbItem, "~HelpPositioningManual"},
          {cbItem, "~HelpPositioningCollision"},
          {cbItem, "~HelpPositioningLoad"}},
         {cTopicSuctionCup, cHelpFormulae}},
        {cTopicSuctionCup,
         {{cbParagraph, "~HelpSuctionCupIntro"},
          {cbItem, "~HelpSuctionCupSuitable"},
          {cbItem, "~HelpSuctionCupShape"},
          {cbItem, "~HelpSuctionCupMaterial"},
          {cbItem, "~HelpSuctionCupCheck"}},
         {cHelpFrictionValues, cHelpChemicalDurability, cHelpFormulae}},
        {cTopicTube,
         {{cbParagraph, "~HelpTubeIntro"},
          {cbItem, "~HelpTubeFit"},
          {cbItem, "~HelpTubeVolume"},
          {cbItem, "~HelpTubeDiameter"}},
         {cTopicVenturi, cHelpFormulae}},
        {cTopicVenturi,
         {{cbParagraph, "~HelpVenturiIntro"},
          {cbItem, "~HelpVenturiVacuum"},
          {cbItem, "~HelpVenturiTime"},
          {cbItem, "~HelpVenturiFit"},
          {cbItem, "~HelpVenturiDiagram"},
          {cbItem, "~HelpVenturiPorous"},
          {cbItem, "~HelpVenturiSite"}},
         {cTopicTube, cHelpFormulae}},
        {cTopicMotion,
         {{cbParagraph, "~HelpMotionIntro"},
          {cbItem, "~HelpMotionKinds"},
          {cbItem, "~HelpMotionMass"},
          {cbItem, "~HelpMotionPneumatic"},
          {cbItem, "~HelpMotionServo"}},
         {cTopicDrive, cHelpFormulae}},
        {cTopicDrive,
         {{cbParagraph, "~HelpDriveIntro"},
          {cbItem, "~HelpDriveCylinder"},
          {cbItem, "~HelpDriveRotary"},
          {cbItem, "~HelpDriveBraking"},
          {cbItem, "~HelpDriveAbsorber"},
          {cbItem, "~HelpDriveServo"}},
         {cTopicMotion, cTopicForces, cHelpFormulae}},
        {cTopicForces,
         {{cbParagraph, "~HelpForcesIntro"},
          {cbItem, "~HelpForcesAxes"},
          {cbItem, "~HelpForcesTotal"},
          {cbItem, "~HelpForcesMoment"}},
         {cTopicDrive, cHelpFormulae}},
        {cHelpFormulae,
         {{cbParagraph, "~HelpFormIntro"},
          {cbFormula, "~HelpFGravity", "g = {g} m/s<sup>2</sup>"},
          {cbHeading, "~Workpiece"},
          {cbFormula, "~HelpFVolumeBar", "V = X·Y·Z"},
          {cbFormula, "~HelpFVolumeCylinder", "V = π·r<sup>2</sup>·L"},
          {cbFormula, "~HelpFVolumePipe", "V = π·(r<sup>2</sup> − r<sub>i</sub><sup>2</sup>)·L"},
          {cbFormula, "~HelpFVolumeSphere", "V = 4/3·π·r<sup>3</sup>"},
          {cbFormula, "~HelpFMass", "m = ρ·V"},
          {cbFormula, "~HelpFInertiaBar",
           "J<sub>x</sub> = m·(Y<sup>2</sup> + Z<sup>2</sup>)/12<br/>"
           "J<sub>y</sub> = m·(X<sup>2</sup> + Z<sup>2</sup>)/12<br/>"
           "J<sub>z</sub> = m·(X<sup>2</sup> + Y<sup>2</sup>)/12"},
          {cbFormula, "~HelpFInertiaCylinder",
           "J<sub>∥</sub> = m·(r<sup>2</sup> + r<sub>i</sub><sup>2</sup>)/2<br/>"
           "J<sub>⊥</sub> = m·(3·(r<sup>2</sup> + r<sub>i</sub><sup>2</sup>) + L<sup>2</sup>)/12"},
          {cbFormula, "~HelpFInertiaSphere", "J = 2/5·m·r<sup>2</sup>"},
          {cbFormula, "~HelpFInertiaWorstCase",
           "J<sub>x</sub> = m·(Y<sup>2</sup> + Z<sup>2</sup>)<br/>"
           "J<sub>y</sub> = m·(X<sup>2</sup> + Z<sup>2</sup>)<br/>"
           "J<sub>z</sub> = m·(X<sup>2</sup> + Y<sup>2</sup>)"},
          {cbFormula, "~HelpFGripSize", "d<sub>max</sub> = median(X, Y, Z)<br/>d<sub>max</sub> = D"},
          {cbHeading, "~HelpFHoldingHeading"},
          {cbFormula, "~HelpFEffectiveArea", "A = F<sub>s0.7</sub> / 70000 Pa"},
          {cbFormula, "~HelpFHoldingForce", "F<sub>s</sub> = −A·p<sub>u</sub>"},
          {cbFormula, "~HelpFLoad", "<b>F</b> = m·(<b>a</b> + g·<b>e</b><sub>z</sub>)"},
          {cbFormula, "~HelpFShare",
           "F<sub>n</sub> = <b>f</b>·<b>e</b><sub>n</sub><br/>"
           "F<sub>q</sub> = √(f<sub>1</sub><sup>2</sup> + f<sub>2</sub><sup>2</sup>)"},
          {cbFormula, "~HelpFNormalRatio", "F<sub>n</sub> / F<sub>s</sub>"},
          {cbFormula, "~HelpFTransverseRatio", "F<sub>q</sub> / ((F<sub>s</sub> − F<sub>n</sub>)·μ)"},
          {cbFormula, "~HelpFSuitable", "m·g ≤ n·F<sub>s0.7</sub>"},
          {cbHeading, "~Motion"},
          {cbFormula, "~HelpFMovingMass", "m<sub>b</sub> = m<sub>S</sub> + m<sub>H</sub> + m"},
          {cbFormula, "~HelpFSwivelInertia",
           "J = J<sub>H</sub> + R<sup>2</sup>·m<sub>S</sub> + "
           "Σ m<sub>i</sub>·(x<sub>i</sub><sup>2</sup> + y<sub>i</sub><sup>2</sup>) + "
           "J<sub>z</sub> + m·R<sup>2</sup>"},
          {cbFormula, "~HelpFPneumaticLinear", "v = k·s/t"},
          {cbFormula, "~HelpFPneumaticRotary", "ω = 2·φ/t"},
          {cbFormula, "~HelpFServoRamp", "T<sub>a</sub> = V/A<br/>T<sub>d</sub> = V/|D|"},
          {cbFormula, "~HelpFServoJerk", "T<sub>j</sub> = A/J"},
          {cbFormula, "~HelpFServoShort",
           "T<sub>a</sub> = √(2·L / (A·(1 + A/|D|)))<br/>V′ = A·T<sub>a</sub>"},
          {cbFormula, "~HelpFServoShortJerk", "V′ := 0.95·V′"},
          {cbHeading, "~Drive"},
          {cbFormula, "~HelpFPressureScaling",
           "F = F<sub>{p0} bar</sub>·p / {p0} bar<br/>M = M<sub>{p0} bar</sub>·p / {p0} bar"},
          {cbFormula, "~HelpFDriveAcceleration", "a = F/m<sub>b</sub><br/>a = M/J·R"},
          {cbFormula, "~HelpFBraking", "a<sub>b</sub> = v<sup>2</sup>/(2·l)·S"},
          {cbFormula, "~HelpFBrakingRotary",
           "a<sub>b</sub> = ω<sup>2</sup>/(2·φ<sub>b</sub>)·S·R<br/>a<sub>c</sub> = ω<sup>2</sup>·R"},
          {cbFormula, "~HelpFInertiaForce", "F<sub>T</sub> = a<sub>b</sub>·m"},
          {cbFormula, "~HelpFAbsorberEnergy", "W = ½·(m<sub>b</sub>/n)·v<sup>2</sup> + (F/n)·l"},
          {cbFormula, "~HelpFAbsorberRotary",
           "m<sub>e</sub> = J/(n·r<sub>A</sub><sup>2</sup>)<br/>"
           "W = ½·m<sub>e</sub>·(ω·r<sub>A</sub>)<sup>2</sup> + M/(n·r<sub>A</sub>)·l"},
          {cbFormula, "~HelpFAbsorberHour", "W<sub>h</sub> = 3600 s·W / t<sub>c</sub>"},
          {cbHeading, "~ForcesAndMoments"},
          {cbFormula, "~HelpFForces",
           "F<sub>x</sub> = m·max|a<sub>x</sub>|<br/>F<sub>y</sub> = m·max|a<sub>y</sub>|<br/>"
           "F<sub>z</sub> = m·max(a<sub>z</sub> + g)"},
          {cbFormula, "~HelpFSwivelForces",
           "F<sub>x</sub> = m·R·α<br/>F<sub>y</sub> = m·R·ω<sup>2</sup><br/>F<sub>z</sub> = m·g"},
          {cbFormula, "~HelpFMoment",
           "M<sub>xy</sub> = J<sub>z</sub>·max(a, a<sub>b</sub>)/R<br/>"
           "M<sub>xy</sub> = J<sub>z</sub>·max(A′, |D′|)"},
          {cbHeading, "~VacuumSuctionNozzle"},
          {cbFormula, "~HelpFEvacVolume", "V<sub>e</sub> = n<sub>S</sub>·V<sub>S</sub> + V<sub>t</sub>"},
          {cbFormula, "~HelpFEvacTime",
           "t = T(p, r·v<sub>max</sub>)·V<sub>e</sub> / 1 dm<sup>3</sup> / n<br/>"
           "r = |p<sub>u</sub>| / v<sub>max</sub>(p)"},
          {cbFormula, "~HelpFAirConsumption", "Q = n·Q<sub>1</sub>(p)"},
          {cbFormula, "~HelpFSound", "L = L<sub>1</sub>(p) + 10·log<sub>10</sub>(n) dB(A)"},
          {cbHeading, "~HelpFAirHeading"},
          {cbFormula, "~HelpFAirPerCycle",
           "V<sub>c</sub> = Q·(t + t<sub>h</sub>)<br/>V<sub>c</sub> = Q·(t + t<sub>r</sub>)"},
          {cbFormula, "~HelpFAirPerYear",
           "V<sub>a</sub> = V<sub>c</sub>·z·h<br/>E = e·V<sub>a</sub><br/>K = c·V<sub>a</sub>"},
          {cbFormula, "~HelpFReevacuation",
           "t<sub>f</sub> = ∫ V<sub>e</sub>/(p<sub>n</sub>·q<sub>L</sub>(v)) dv<br/>"
           "t<sub>s</sub> = ∫ V<sub>e</sub>/(p<sub>n</sub>·(q<sub>S</sub>(v) − q<sub>L</sub>(v))) dv<br/>"
           "dp = 0.1·|p<sub>u</sub>|"},
          {cbFormula, "~HelpFVerdict",
           "min(F<sub>s</sub>/F<sub>n</sub>, (F<sub>s</sub> − F<sub>n</sub>)·μ/F<sub>q</sub>) ≥ S"},
          {cbHeading, "~HelpFSiteHeading"},
          {cbFormula, "~HelpFAtmosphere",
           "p<sub>a</sub> = 101325 Pa·(1 − 2.25577·10<sup>−5</sup>·h/m)<sup>5.25588</sup>"},
          {cbFormula, "~HelpFSiteVacuum",
           "v<sub>max,a</sub> = v<sub>max</sub>·p<sub>a</sub>/p<sub>n</sub><br/>"
           "t = T(|p<sub>u</sub>|·p<sub>n</sub>/p<sub>a</sub>)·V<sub>e</sub> / 1 dm<sup>3</sup> / n"},
          {cbFormula, "~HelpFSuctionFlow", "q = 1 dm<sup>3</sup>/p<sub>n</sub>·Δv/ΔT"},
          {cbFormula, "~HelpFOrifice",
           "ṁ = C<sub>d</sub>·A·p<sub>a</sub>·√(κ/(R·T))·(2/(κ+1))<sup>(κ+1)/(2(κ−1))</sup>, "
           "p/p<sub>a</sub> ≤ 0.528<br/>"
           "ṁ = C<sub>d</sub>·A·p<sub>a</sub>·√(2κ/((κ−1)·R·T)·(r<sup>2/κ</sup> − r<sup>(κ+1)/κ</sup>)), "
           "r = p/p<sub>a</sub><br/>"
           "L = ṁ/ρ<sub>n</sub>; L(p) = L<sub>m</sub>·ṁ(p)/ṁ(p<sub>m</sub>)"},
          {cbFormula, "~HelpFLeakTime",
           "t = V<sub>e</sub>/(1 dm<sup>3</sup>·n)·∫ T′(u)·q(u)/(q(u) − L/(n·k)) du, "
           "u = v/k, k = p<sub>a</sub>/p<sub>n</sub><br/>"
           "q(u*) = L(u*)/(n·k)"},
          {cbHeading, "~Tube"},
          {cbFormula, "~HelpFTubeVolume", "V<sub>t</sub> = π·(D<sub>t</sub>/2)<sup>2</sup>·L<sub>t</sub>"},
          {cbFormula, "~HelpFTubeLength", "L<sub>t</sub> = n<sub>S</sub>·l"},
          {cbFormula, "~HelpFNozzleFit", "3·d ≤ D<sub>t</sub>"}},
         {cHelpFrictionValues}},
        {cHelpFrictionValues, {{cbParagraph, "~HelpFrictionIntro"}}, {cTopicWorkpiece, cHelpChemicalDurability}},
        {cHelpChemicalDurability, {{cbParagraph, "~HelpDurabilityIntro"}}, {cTopicSuctionCup, cHelpFrictionValues}},
        {cHelpIndex, {}, {}},
    };
    return pages;
}

// Key words of the index and the topic each opens.
struct TIndexEntry {
    std::string_view Key;
    int Topic;
};

constexpr TIndexEntry cIndex[] = {
    {"~AirConsumption", cTopicVenturi},
    {"~ChemicalDurability", cHelpChemicalDurability},
    {"~Density", cTopicWorkpiece},
    {"~Disclaimer", cHelpOperatingInstructions},
    {"~DmaxSuctionCup", cTopicSuctionCup},
    {"~Drive", cTopicDrive},
    {"~EvacuationTime", cTopicVenturi},
    {"~FittingToSuctionCup", cTopicTube},
    {"~FittingToTube", cTopicVenturi},
    {"~ForcesAndMoments", cTopicForces},
    {"~Formulae", cHelpFormulae},
    {"~FrictionCoefficient", cHelpFrictionValues},
    {"~InertiaForce", cTopicDrive},
    {"~JerkLimited", cTopicMotion},
    {"~Language", cHelpOperatingInstructions},
    {"~Lever", cTopicMotion},
    {"~Mass", cTopicWorkpiece},
    {"~MomentOfInertia", cTopicWorkpiece},
    {"~Motion", cTopicMotion},
    {"~MovingMass", cTopicMotion},
    {"~OperatingInstructions", cHelpOperatingInstructions},
    {"~PartsList", cHelpOperatingInstructions},
    {"~Positioning", cTopicPositioning},
    {"~SafetyFactor", cTopicDrive},
    {"~Shape", cTopicWorkpiece},
    {"~ShockAbsorber", cTopicDrive},
    {"~SoundPressureLevel", cTopicVenturi},
    {"~SuctionCapacity", cTopicVenturi},
    {"~SuctionCup", cTopicSuctionCup},
    {"~SuctionCupLoad", cHelpOperatingInstructions},
    {"~SuctionCupMaterial", cHelpChemicalDurability},
    {"~Travel", cTopicMotion},
    {"~Tube", cTopicTube},
    {"~Units", cHelpOperatingInstructions},
    {"~Vacuum", cTopicVenturi},
    {"~VacuumSuctionNozzle", cTopicVenturi},
    {"~Volume", cTopicWorkpiece},
    {"~WorkingPressure", cTopicVenturi},
    {"~Workpiece", cTopicWorkpiece},
};

// Keys of the generated parts of the pages.
constexpr std::string_view cContentsIntroKey = "~HelpContentsIntro";
constexpr std::string_view cContentsPagesKey = "~HelpContentsPages";
constexpr std::string_view cContentsReferenceKey = "~HelpContentsReference";
constexpr std::string_view cSeeAlsoKey = "~HelpSeeAlso";
constexpr std::string_view cNoTableKey = "~HelpNoTable";
constexpr std::string_view cIndexIntroKey = "~HelpIndexIntro";
constexpr std::string_view cFrictionHeaderKeys[] = {"~HelpSurface", "~HelpTypical", "~HelpLowest", "~HelpHighest"};
constexpr std::string_view cDurabilityMediumKey = "~Chemical";
constexpr std::string_view cDurabilityLegendKey = "~SuctionCupMaterial";

// The reference pages listed after the pages of the main window.
constexpr int cReferenceTopics[] = {cHelpFormulae, cHelpFrictionValues, cHelpChemicalDurability, cHelpIndex};

const TPageText* FindPage(int topic) {
    for (const TPageText& p : PageTexts())
        if (p.Topic == topic) return &p;
    return nullptr;
}

// The main-window page (navigator order) that F1 opens `topic` from, or -1.
int MainPageOfTopic(int topic) {
    if (topic == cHelpContents) return -1;
    for (int page = 0; page <= cLastNavigatorPage; ++page)
        if (MainPageInfo(page).HelpTopic == topic) return page;
    return -1;
}

// ---- HTML -------------------------------------------------------------------------------

std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// A cell text: a key is translated, anything else shown as it is.
std::string CellText(const TTranslateFunc& translate, const std::string& text) {
    return text.size() > 1 && text[0] == '~' ? TranslateOrKey(translate, text) : text;
}

std::string Link(int topic, const TTranslateFunc& translate) {
    return "<a href=\"" + HelpTopicLink(topic) + "\">" + Escape(HelpPageTitle(topic, translate)) + "</a>";
}

// The math of a formula with the constants of the calculations filled in: {g} gravity in
// m/s², {p0} the rating pressure of the actuators in bar.
std::string FormulaMath(std::string_view math) {
    std::string s(math);
    const std::pair<std::string_view, std::string> constants[] = {
        {"{g}", ShortDecimal(cGravity)}, {"{p0}", ShortDecimal(cRatedPressure / 100000.0)}};
    for (const auto& [name, value] : constants)
        for (size_t at = s.find(name); at != std::string::npos; at = s.find(name, at + value.size()))
            s.replace(at, name.size(), value);
    return s;
}

// Renders the blocks: items into one list, formulae into one table.
void RenderBlocks(std::string& html, const std::vector<TBlock>& blocks, const TTranslateFunc& translate) {
    TBlockKind open = cbParagraph; // the kind whose container is open (cbItem or cbFormula)
    bool inContainer = false;
    auto close = [&] {
        if (!inContainer) return;
        html += open == cbItem ? "</ul>\n" : "</table>\n";
        inContainer = false;
    };
    for (const TBlock& b : blocks) {
        const std::string text = Escape(TranslateOrKey(translate, b.Key));
        if (inContainer && open != b.Kind) close();
        switch (b.Kind) {
        case cbHeading:
            html += "<h2>" + text + "</h2>\n";
            break;
        case cbParagraph:
            html += "<p>" + text + "</p>\n";
            break;
        case cbItem:
            if (!inContainer) {
                html += "<ul>\n";
                open = cbItem;
                inContainer = true;
            }
            html += "<li>" + text + "</li>\n";
            break;
        case cbFormula:
            if (!inContainer) {
                html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">\n";
                open = cbFormula;
                inContainer = true;
            }
            html += "<tr><td width=\"50%\">" + text + "</td><td>" + FormulaMath(b.Math) + "</td></tr>\n";
            break;
        }
    }
    close();
}

void RenderContents(std::string& html, const TTranslateFunc& translate) {
    html += "<p>" + Escape(TranslateOrKey(translate, cContentsIntroKey)) + "</p>\n";
    html += "<h2>" + Escape(TranslateOrKey(translate, cContentsPagesKey)) + "</h2>\n<ul>\n";
    html += "<li>" + Link(cHelpOperatingInstructions, translate) + "</li>\n";
    for (int page = 0; page <= cLastNavigatorPage; ++page) {
        const int topic = MainPageInfo(page).HelpTopic;
        if (topic != cHelpContents && FindPage(topic)) html += "<li>" + Link(topic, translate) + "</li>\n";
    }
    html += "</ul>\n<h2>" + Escape(TranslateOrKey(translate, cContentsReferenceKey)) + "</h2>\n<ul>\n";
    for (const int topic : cReferenceTopics) html += "<li>" + Link(topic, translate) + "</li>\n";
    html += "</ul>\n";
}

// Display text of a coefficient: up to two decimals, the locale's separator.
std::string Coefficient(double value) {
    return FloatText(value, 3, -2);
}

// One row per workpiece surface, grouped under a row naming the cup material whenever the
// material changes from the row before.
void RenderFriction(std::string& html, const TCustomTable* t, const TTranslateFunc& translate) {
    const int cols[] = {t ? t->ColByName("~SuctionCup") : -1, t ? t->ColByName("~Workpiece") : -1,
                        t ? t->ColByName("typical") : -1, t ? t->ColByName("min") : -1,
                        t ? t->ColByName("max") : -1};
    if (!t || t->Rows() == 0 || std::any_of(std::begin(cols), std::end(cols), [](int c) { return c < 0; })) {
        html += "<p><i>" + Escape(TranslateOrKey(translate, cNoTableKey)) + "</i></p>\n";
        return;
    }
    html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n<tr>";
    for (const std::string_view key : cFrictionHeaderKeys)
        html += "<th>" + Escape(TranslateOrKey(translate, key)) + "</th>";
    html += "</tr>\n";
    std::string material;
    for (int r = 0; r < t->Rows(); ++r) {
        const std::string m = t->AsText(r, cols[0]);
        if (r == 0 || m != material) {
            html += "<tr><td colspan=\"4\" bgcolor=\"#eef3f8\"><b>" + Escape(CellText(translate, m)) +
                    "</b></td></tr>\n";
            material = m;
        }
        html += "<tr><td>" + Escape(CellText(translate, t->AsText(r, cols[1]))) + "</td>";
        for (int c = 2; c < 5; ++c) html += "<td align=\"right\">" + Escape(Coefficient(t->AsFloat(r, cols[c]))) + "</td>";
        html += "</tr>\n";
    }
    html += "</table>\n";
}

// Background of a durability rating; empty for a rating without one.
std::string_view RatingColour(std::string_view rating) {
    if (rating == "~VeryGood") return "#b9e4b3";
    if (rating == "~Good") return "#def2c8";
    if (rating == "~Limited") return "#fbe8a8";
    if (rating == "~NotResistant") return "#f3b8b1";
    return {};
}

// The durability table turned round: one row per medium, one column per cup material (in
// the order they first occur), the material names spelled out below it.
void RenderDurability(std::string& html, const TCustomTable* t, const TTranslateFunc& translate) {
    const int cMedium = t ? t->ColByName("~Chemical") : -1;
    const int cMaterial = t ? t->ColByName("~SuctionCup") : -1;
    const int cRating = t ? t->ColByName("~Durability") : -1;
    if (!t || t->Rows() == 0 || cMedium < 0 || cMaterial < 0 || cRating < 0) {
        html += "<p><i>" + Escape(TranslateOrKey(translate, cNoTableKey)) + "</i></p>\n";
        return;
    }
    std::vector<std::string> media, materials;
    std::map<std::pair<std::string, std::string>, std::string> ratings;
    for (int r = 0; r < t->Rows(); ++r) {
        const std::string medium = t->AsText(r, cMedium);
        const std::string material = t->AsText(r, cMaterial);
        if (std::find(media.begin(), media.end(), medium) == media.end()) media.push_back(medium);
        if (std::find(materials.begin(), materials.end(), material) == materials.end()) materials.push_back(material);
        ratings[{medium, material}] = t->AsText(r, cRating);
    }
    // A material key shows as its code in the header ("~NBR" as "NBR").
    auto code = [](const std::string& key) { return key.size() > 1 && key[0] == '~' ? key.substr(1) : key; };
    html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n<tr><th>" +
            Escape(TranslateOrKey(translate, cDurabilityMediumKey)) + "</th>";
    for (const std::string& m : materials) html += "<th>" + Escape(code(m)) + "</th>";
    html += "</tr>\n";
    for (const std::string& medium : media) {
        html += "<tr><td>" + Escape(CellText(translate, medium)) + "</td>";
        for (const std::string& m : materials) {
            const auto it = ratings.find({medium, m});
            if (it == ratings.end()) {
                html += "<td></td>";
                continue;
            }
            const std::string_view colour = RatingColour(it->second);
            html += colour.empty() ? std::string("<td>") : "<td bgcolor=\"" + std::string(colour) + "\">";
            html += Escape(CellText(translate, it->second)) + "</td>";
        }
        html += "</tr>\n";
    }
    html += "</table>\n<h2>" + Escape(TranslateOrKey(translate, cDurabilityLegendKey)) + "</h2>\n<ul>\n";
    for (const std::string& m : materials)
        html += "<li><b>" + Escape(code(m)) + "</b>: " + Escape(CellText(translate, m)) + "</li>\n";
    html += "</ul>\n";
}

// ---- index order ------------------------------------------------------------------------

// Decodes UTF-8 (an invalid byte stands for itself).
std::u32string Decode(std::string_view s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + static_cast<size_t>(len) > s.size()) {
            out += b;
            ++i;
            continue;
        }
        char32_t c = len == 1 ? b : b & (0x7F >> len);
        for (int k = 1; k < len; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0x3F);
        out += c;
        i += static_cast<size_t>(len);
    }
    return out;
}

std::string Encode(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// A letter folded for sorting: lower case, Latin accents and the Cyrillic yo dropped.
char32_t Fold(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7) {
        // À..ÿ: the base letter of each, in code order from 0xC0.
        static constexpr char32_t base[] = U"aaaaaaaceeeeiiiidnooooo\0ouuuuyts"
                                           U"aaaaaaaceeeeiiiidnooooo\0ouuuuyty";
        const char32_t b = base[c - 0xC0];
        return b ? b : c;
    }
    if (c >= 0x410 && c <= 0x42F) return c + 0x20; // А..Я
    if (c == 0x401 || c == 0x451) return 0x435;    // Ё, ё
    return c;
}

std::u32string SortKey(std::string_view text) {
    std::u32string key = Decode(text);
    for (char32_t& c : key) c = Fold(c);
    return key;
}

// The letter an index group shows: the folded first letter in upper case.
std::string GroupLetter(const std::u32string& key) {
    if (key.empty()) return {};
    char32_t c = key[0];
    if (c >= U'a' && c <= U'z') c -= 32;
    else if (c >= 0x430 && c <= 0x44F) c -= 0x20;
    return Encode(c);
}

void RenderIndex(std::string& html, const TTranslateFunc& translate) {
    html += "<p>" + Escape(TranslateOrKey(translate, cIndexIntroKey)) + "</p>\n";
    struct TItem {
        std::u32string Key;
        std::string Text;
        int Topic;
    };
    std::vector<TItem> items;
    for (const TIndexEntry& e : cIndex) {
        std::string text = TranslateOrKey(translate, e.Key);
        items.push_back({SortKey(text), std::move(text), e.Topic});
    }
    std::stable_sort(items.begin(), items.end(), [](const TItem& a, const TItem& b) { return a.Key < b.Key; });
    std::string letter;
    bool open = false;
    for (const TItem& it : items) {
        const std::string l = GroupLetter(it.Key);
        if (!open || l != letter) {
            if (open) html += "</p>\n";
            html += "<h3>" + Escape(l) + "</h3>\n<p>";
            letter = l;
            open = true;
        } else {
            html += "<br/>\n";
        }
        html += "<a href=\"" + HelpTopicLink(it.Topic) + "\">" + Escape(it.Text) + "</a>";
    }
    if (open) html += "</p>\n";
}

} // namespace

bool ValidHelpTopic(int topic) {
    return topic >= 0 && topic < cHelpTopicCount;
}

int HelpPageTopic(int topic) {
    return ValidHelpTopic(topic) && (topic == cHelpContents || FindPage(topic)) ? topic : cHelpContents;
}

std::vector<int> HelpPageTopics() {
    std::vector<int> topics;
    for (int t = 0; t < cHelpTopicCount; ++t)
        if (HelpPageTopic(t) == t) topics.push_back(t);
    return topics;
}

std::string_view HelpTitleKey(int topic) {
    switch (topic = HelpPageTopic(topic)) {
    case cHelpContents: return "~Contents";
    case cHelpOperatingInstructions: return "~OperatingInstructions";
    case cHelpFrictionValues: return "~FrictionValuesTable";
    case cHelpChemicalDurability: return "~ChemicalDurability";
    case cHelpFormulae: return "~Formulae";
    case cHelpIndex: return "~Index";
    default: {
        const int page = MainPageOfTopic(topic);
        return page >= 0 ? MainPageInfo(page).NavigatorCaption : std::string_view("~Contents");
    }
    }
}

std::string HelpPageTitle(int topic, const TTranslateFunc& translate) {
    return TranslateOrKey(translate, HelpTitleKey(topic));
}

std::string HelpTopicLink(int topic) {
    return "topic:" + std::to_string(topic);
}

std::optional<int> HelpLinkTopic(std::string_view link) {
    constexpr std::string_view prefix = "topic:";
    if (link.substr(0, prefix.size()) != prefix) return std::nullopt;
    const std::string_view digits = link.substr(prefix.size());
    int topic = -1;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), topic);
    if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty() || !ValidHelpTopic(topic))
        return std::nullopt;
    return topic;
}

std::string HelpPageHtml(int topic, const THelpSources& sources, const TTranslateFunc& translate) {
    topic = HelpPageTopic(topic);
    const std::string title = Escape(HelpPageTitle(topic, translate));
    std::string html = "<html><head><title>" + title + "</title></head><body>\n<h1>" + title + "</h1>\n";
    const TPageText* page = FindPage(topic);
    if (page) RenderBlocks(html, page->Blocks, translate);
    switch (topic) {
    case cHelpContents: RenderContents(html, translate); break;
    case cHelpFrictionValues: RenderFriction(html, sources.Friction, translate); break;
    case cHelpChemicalDurability: RenderDurability(html, sources.Durability, translate); break;
    case cHelpIndex: RenderIndex(html, translate); break;
    default: break;
    }
    if (page && !page->SeeAlso.empty()) {
        html += "<h2>" + Escape(TranslateOrKey(translate, cSeeAlsoKey)) + "</h2>\n<ul>\n";
        for (const int t : page->SeeAlso) html += "<li>" + Link(t, translate) + "</li>\n";
        html += "</ul>\n";
    }
    if (topic != cHelpContents) {
        html += "<hr/>\n<p>" + Link(cHelpContents, translate) + " · " + Link(cHelpIndex, translate) + "</p>\n";
    }
    html += "</body></html>\n";
    return html;
}

std::vector<std::string> HelpLanguageKeys() {
    std::set<std::string> keys;
    for (const int t : HelpPageTopics()) keys.emplace(HelpTitleKey(t));
    for (const TPageText& p : PageTexts())
        for (const TBlock& b : p.Blocks) keys.emplace(b.Key);
    for (const TIndexEntry& e : cIndex) keys.emplace(e.Key);
    for (const std::string_view k : cFrictionHeaderKeys) keys.emplace(k);
    for (const std::string_view k : {cContentsIntroKey, cContentsPagesKey, cContentsReferenceKey, cSeeAlsoKey,
                                     cNoTableKey, cIndexIntroKey, cDurabilityMediumKey, cDurabilityLegendKey})
        keys.emplace(k);
    return {keys.begin(), keys.end()};
}

THelpTables::THelpTables(TOrsikConnection& connection) {
    for (auto [table, name] : {std::pair{&Friction, "tbl Friction"}, std::pair{&Durability, "tbl Durability"}}) {
        table->Loaded();
        table->SetTable(name);
        table->SetConnection(&connection);
    }
}
