#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/util/translate_func.h"

class TPartsList;

//! The online shop's server when the settings name none ("ShopUrl").
inline constexpr std::string_view cDefaultShopServer = "https://shop.example.com";

//! A shop server address as the settings give it: an absolute "https://" address with a
//! host, or a "http://" one whose host is this machine's loopback interface ("127.0.0.1",
//! "localhost", "[::1]", with or without a port), without trailing "/"; anything else gives
//! cDefaultShopServer.
std::string ShopServerFromSetting(std::string_view value);

//! Where and how the basket form is posted.
struct TShopPageOptions {
    //! Server of the online shop; the form posts to its "/addtobasket/wrap".
    std::string ShopServer = std::string(cDefaultShopServer);
    //! Text of the page's title element; empty: the translation of "~Sorvane".
    std::string Title;
    //! Translation of the "~" keys, from whoever owns the language; unset: the keys as
    //! they are.
    TTranslateFunc Translate;
};

//! Replaces &, <, >, " and ' by character references, so that a text can stand in an
//! element or in a quoted attribute value.
std::string HtmlEscape(std::string_view text);

//! Caption of the shop window: "~Sorvane" and "~PartsList" translated, joined by " - "
//! (unset translation: the keys).
std::string ShopWindowCaption(const TTranslateFunc& translate = {});

//! Builds the basket form page for the online shop: the parts list as a visible table and
//! as hidden fields of a POST form. Every inserted text is HTML-escaped.
class TShopPage {
public:
    //! Rebuilds the lines from empty.
    void Build(const TPartsList& list, const TShopPageOptions& options = {});

    const std::vector<std::string>& Lines() const { return lines_; }
    //! The page as one UTF-8 text, each line ending in CR LF.
    std::string Text() const;

private:
    //! Writes one line; d > 0 indents before the line, d < 0 outdents after it.
    void Write(std::string_view text, int d = 0);

    std::vector<std::string> lines_;
    int indent_ = 0;
};
