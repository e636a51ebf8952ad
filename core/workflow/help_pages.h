#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/str_table_db.h"
#include "core/util/translate_func.h"

class TCustomTable;
class TOrsikConnection;

// The pages of the help window as HTML, built from language keys and from the material
// tables of the product container, so that they follow the program's language and the
// catalogue. Links between pages have the form "topic:N"; the window resolves them.

//! Help topics are 0 .. cHelpTopicCount - 1.
inline constexpr int cHelpTopicCount = 17;

//! Tables the help pages show; a missing one (null) gives its page a note instead of the
//! table. Neither is owned.
struct THelpSources {
    //! Friction coefficients: "~SuctionCup", "~Workpiece", "min", "max", "typical".
    const TCustomTable* Friction = nullptr;
    //! Chemical durability: "~Chemical", "~SuctionCup", "~Durability".
    const TCustomTable* Durability = nullptr;
};

//! True for 0 .. cHelpTopicCount - 1.
bool ValidHelpTopic(int topic);
//! The topic whose page is shown for `topic`: itself when it has a page of its own, else
//! (no page, or out of range) the contents.
int HelpPageTopic(int topic);
//! Every topic with a page of its own, in ascending order.
std::vector<int> HelpPageTopics();

//! Language key of the title of the page shown for `topic`.
std::string_view HelpTitleKey(int topic);
//! Translated title of the page shown for `topic`.
std::string HelpPageTitle(int topic, const TTranslateFunc& translate);

//! The link target of a topic: "topic:N".
std::string HelpTopicLink(int topic);
//! The topic a link names ("topic:N" with N a valid topic), else nothing.
std::optional<int> HelpLinkTopic(std::string_view link);

//! The complete HTML document of the page shown for `topic` (out of range: the contents),
//! its title in <title> and <h1>, every text translated with `translate`.
std::string HelpPageHtml(int topic, const THelpSources& sources, const TTranslateFunc& translate);

//! Every language key the help pages use (titles, texts, headings, index entries), for
//! checks that each has a text.
std::vector<std::string> HelpLanguageKeys();

//! The friction and durability tables of a product container, loaded for the help.
class THelpTables {
public:
    //! Binds both tables to the connection ("tbl Friction", "tbl Durability"); a container
    //! without them leaves them empty.
    explicit THelpTables(TOrsikConnection& connection);
    THelpTables(const THelpTables&) = delete;
    THelpTables& operator=(const THelpTables&) = delete;

    THelpSources Sources() const { return {&Friction, &Durability}; }

    TStrTableDB32Bit Friction, Durability;
};
