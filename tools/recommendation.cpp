// SPDX-License-Identifier: MIT
#include "tools/recommendation.h"

#include "app/product.h"

namespace {

// Percent-encoding for the query of a mailto: link.
std::string Encode(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

}  // namespace

std::string RecommendationLink() {
    const std::string title(kProductTitle);
    const std::string site(kProductWebsite);
    const std::string subject = "A winter screen saver you might like: " + title;
    const std::string body =
        "Hello,\n\nI have been enjoying " + title +
        ", a calm winter night screen saver: a starry sky, a snowy house with a decorated tree, "
        "falling snow, blinking lights and smoke rising from the chimney.\n\n"
        "You can get it here: " +
        site + "\n\nHave a peaceful winter!\n";
    return "mailto:?subject=" + Encode(subject) + "&body=" + Encode(body);
}
