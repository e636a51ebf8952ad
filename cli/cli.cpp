#include "cli/cli.h"

#include "cli/design.h"

#include <cinttypes>
#include <cstdio>

#include "core/data/orsik_connection.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/data/table_text.h"
#include "core/document/my_project.h"
#include "core/lang/language_db.h"
#include "core/lang/language_table.h"
#include "core/quantities/expression.h"
#include "core/quantities/number_format.h"
#include "core/quantities/prj_strings.h"
#include "core/quantities/units.h"
#include "core/util/trace.h"
#include "core/workflow/page_workflow.h"
#include "core/workflow/vacuum_application.h"

namespace {

const char* kUsage =
    "usage: vacuum-cli eval [--brackets XY] EXPR\n"
    "       vacuum-cli units\n"
    "       vacuum-cli convert VALUE FROM_UNIT TO_UNIT\n"
    "       vacuum-cli query FILE TABLE CONDITION...\n"
    "       vacuum-cli translate --lang CODE [--file LANGUAGE_FILE] KEY...\n"
    "       vacuum-cli project FILE.vac\n"
    "       vacuum-cli design PROJECT.vac [--catalog FILE] [--lang CODE] [--json]\n"
    "                  [--erp FILE --plant CODE] [--csv FILE] [--shop FILE]\n"
    "       vacuum-cli retime PROJECT.vac OUT.vac\n";

struct TCliError {
    int status;
    std::string message;
};

std::string G17(double v) { return FormatText("%.17g", v); }

int Eval(const std::vector<std::string>& a, std::string& out) {
    std::string brackets = "[]";
    size_t i = 0;
    if (i < a.size() && a[i] == "--brackets") {
        if (i + 1 >= a.size() || a[i + 1].empty() || a[i + 1].size() > 2)
            throw TCliError{2, "--brackets takes two characters, such as ()"};
        brackets = a[i + 1];
        i += 2;
    }
    if (i + 1 != a.size()) throw TCliError{2, std::string("eval takes one expression\n") + kUsage};
    TExpression expr;
    expr.SetKlammer(brackets);
    TTerm r;
    if (!expr.Evaluate(a[i], r)) {
        out += "fail\n";
        return 0;
    }
    switch (r.Typ) {
    case cTTNum: out += "num\t" + ShortDecimal(r.Value) + "\t" + r.Text + "\n"; break;
    case cTTAlpha:
    case cTTExpr: out += "alpha\t\t" + r.Text + "\n"; break;
    case cTTError: out += "error\n"; break;
    }
    return 0;
}

int Units(std::string& out) {
    for (int id = 0; id < cNUMessurementCount; ++id) {
        const TTavPhysicalUnit& u = UnitById(static_cast<TNUMessurement>(id));
        out += FormatText("%d\t%s\t%d\t%s\t%s\t%s\t0x%x\t%s\n", id, std::string(UnitIdName(u.Id)).c_str(),
                          static_cast<int>(u.Quantity->NormUnit), u.Symbol.c_str(), G17(u.Factor).c_str(),
                          G17(u.Offset).c_str(), static_cast<unsigned>(u.Systems), u.Description.c_str());
    }
    return 0;
}

TNUMessurement UnitArg(const std::string& name) {
    TNUMessurement id;
    if (!FindUnitByIdName(name, id)) throw TCliError{1, "unknown unit \"" + name + "\" (see vacuum-cli units)"};
    return id;
}

int Convert(const std::vector<std::string>& a, std::string& out) {
    if (a.size() != 3) throw TCliError{2, std::string("convert takes VALUE FROM_UNIT TO_UNIT\n") + kUsage};
    double v;
    if (!TryReadNumber(a[0], v)) throw TCliError{1, "\"" + a[0] + "\" is not a number (use '.' as decimal point)"};
    const TNUMessurement from = UnitArg(a[1]), to = UnitArg(a[2]);
    if (QuantityOfUnit(from) != QuantityOfUnit(to))
        throw TCliError{1, a[1] + " and " + a[2] + " measure different quantities"};
    out += G17(FromBaseUnit(to, ToBaseUnit(from, v))) + "\n";
    return 0;
}

int Query(const std::vector<std::string>& a, std::string& out) {
    if (a.size() < 2) throw TCliError{2, std::string("query takes FILE TABLE CONDITION...\n") + kUsage};
    TOrsikConnection con;
    con.Loaded();
    con.SetDataFile(a[0]);
    if (!con.Active()) throw TCliError{1, con.LastError()};
    if (!con.GetTableStream(a[1])) throw TCliError{1, a[0] + ": no table \"" + a[1] + "\""};
    TStrTableDB32Bit table;
    table.Loaded();
    table.SetTable(a[1]);
    table.SetConnection(&con);
    if (!table.LoadError().empty()) throw TCliError{1, a[0] + ": " + table.LoadError()};
    TStringQuery query;
    query.Loaded();
    query.SetTable(&table);
    for (size_t i = 2; i < a.size(); ++i) query.AddCondition(a[i]);
    out += TableToTsv(query);
    return 0;
}

// Translates keys with the language container of the data folder (or a given one).
int Translate(const std::vector<std::string>& a, std::string& out) {
    std::string code, file = TOrsikConnection::DataFolder() + "/Vacuum.bin";
    std::vector<std::string> keys;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] == "--lang" && i + 1 < a.size()) code = a[++i];
        else if (a[i] == "--file" && i + 1 < a.size()) file = a[++i];
        else keys.push_back(a[i]);
    }
    if (code.empty() || keys.empty())
        throw TCliError{2, std::string("translate takes --lang CODE and at least one key\n") + kUsage};
    TOrsikConnection con;
    con.Loaded();
    con.SetDataFile(file);
    if (!con.Active()) throw TCliError{1, con.LastError()};
    TLanguageTable32Bit table;
    table.SetTable("Translations");
    table.SetConnection(&con);
    if (!table.LoadError().empty()) throw TCliError{1, file + ": " + table.LoadError()};
    if (table.IndexOfLanguage(code) < 0)
        throw TCliError{1, file + ": no language \"" + code + "\" (languages: " + table.LanguageCodes() + ")"};
    TLanguageDB db;
    db.Loaded();
    db.SetLanguage(code);
    for (const auto& key : keys) out += db.Translate(key) + "\n";
    return 0;
}

// Loads a project file into a new document and lists every item as the writer writes it.
int Project(const std::vector<std::string>& a, std::string& out) {
    if (a.size() != 1) throw TCliError{2, std::string("project takes one project file\n") + kUsage};
    TMyProject doc;
    if (TPrjResult r = doc.Project().LoadFromFile(a[0]); !r.Ok()) throw TCliError{1, r.Message};
    TPrjStrings lines;
    doc.Project().WriteItems(lines);
    if (lines.Failed()) throw TCliError{1, a[0] + ": " + lines.Error()};
    for (const auto& l : lines.Lines()) out += l + "\n";
    return 0;
}

int Design(const std::vector<std::string>& a, std::string& out, std::string& err) {
    TDesignOptions options;
    if (const std::string problem = ParseDesignOptions(a, options); !problem.empty())
        throw TCliError{2, problem + "\n" + kUsage};
    TDesignOutcome r = RunDesign(options);
    out += r.Out;
    for (size_t at = 0; at < r.Error.size();) {
        const size_t end = r.Error.find('\n', at);
        err += "vacuum-cli: " + r.Error.substr(at, end - at) + "\n";
        at = end == std::string::npos ? r.Error.size() : end + 1;
    }
    return r.Status;
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::string& out, std::string& err) {
    try {
        if (args.empty()) throw TCliError{2, std::string("no command given\n") + kUsage};
        const std::string& cmd = args[0];
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (cmd == "eval") return Eval(rest, out);
        if (cmd == "units" && rest.empty()) return Units(out);
        if (cmd == "convert") return Convert(rest, out);
        if (cmd == "query") return Query(rest, out);
        if (cmd == "translate") return Translate(rest, out);
        if (cmd == "project") return Project(rest, out);
        if (cmd == "design") return Design(rest, out, err);
        if (cmd == "retime") {
            if (rest.size() != 2) throw TCliError{2, std::string("retime takes a project and an output file\n") + kUsage};
            const TDesignOutcome r = RunRetime(rest[0], rest[1]);
            if (r.Status != 0) throw TCliError{r.Status, r.Error.substr(0, r.Error.size() - 1)};
            return 0;
        }
        if (cmd == "help" || cmd == "--help" || cmd == "-h") {
            out += kUsage;
            return 0;
        }
        throw TCliError{2, "unknown command or wrong arguments: \"" + cmd + "\"\n" + kUsage};
    } catch (const TCliError& e) {
        err += "vacuum-cli: " + e.message + "\n";
        return e.status;
    } catch (const std::exception& e) {
        err += std::string("vacuum-cli: ") + e.what() + "\n";
        return 1;
    }
}
