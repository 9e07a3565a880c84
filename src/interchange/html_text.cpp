#include "interchange/html_text.h"

#include <libxml/HTMLparser.h>

#include <memory>
#include <string_view>

namespace lembrete {
namespace {

struct DocumentFree {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};

bool named(const xmlNode* node, std::string_view name) {
    return node->name && std::string_view(reinterpret_cast<const char*>(node->name)) == name;
}

bool isBlock(const xmlNode* node) {
    constexpr std::string_view kBlocks[] = {"p",  "div", "li", "tr", "h1", "h2",         "h3",
                                            "h4", "h5",  "h6", "ul", "ol", "blockquote", "pre"};
    for (const auto block : kBlocks) {
        if (named(node, block)) {
            return true;
        }
    }
    return false;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Collects text, one space for every run of blanks (as HTML shows it) and a line break at the
// end of every block; blanks at the start and end of a line are dropped.
class TextCollector {
  public:
    void walk(const xmlNode* node) {
        for (; node; node = node->next) {
            if (node->type == XML_TEXT_NODE && node->content) {
                addText(reinterpret_cast<const char*>(node->content));
            } else if (node->type == XML_ELEMENT_NODE) {
                if (named(node, "head") || named(node, "style") || named(node, "script")) {
                    continue;
                }
                if (named(node, "br")) {
                    lineBreak();
                    continue;
                }
                walk(node->children);
                if (isBlock(node)) {
                    endBlock();
                }
            }
        }
    }

    std::string result() {
        while (!text_.empty() && text_.back() == '\n') {
            text_.pop_back();
        }
        return text_;
    }

  private:
    void addText(std::string_view content) {
        for (const char c : content) {
            if (isSpace(c)) {
                pendingSpace_ = true;
                continue;
            }
            if (pendingSpace_ && !text_.empty() && text_.back() != '\n') {
                text_ += ' ';
            }
            pendingSpace_ = false;
            text_ += c;
        }
    }
    void lineBreak() {
        text_ += '\n';
        pendingSpace_ = false;
    }
    void endBlock() {
        if (!text_.empty() && text_.back() != '\n') {
            lineBreak();
        }
        pendingSpace_ = false;
    }

    std::string text_;
    bool pendingSpace_ = false;
};

}  // namespace

bool isHtml(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    return first != std::string::npos && text[first] == '<' &&
           text.find('>', first) != std::string::npos;
}

std::string plainTextOf(const std::string& richText) {
    if (!isHtml(richText)) {
        return richText;
    }
    const std::unique_ptr<xmlDoc, DocumentFree> document(htmlReadMemory(
        richText.data(), static_cast<int>(richText.size()), nullptr, "UTF-8",
        HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET));
    if (!document) {
        return richText;
    }
    TextCollector collector;
    collector.walk(xmlDocGetRootElement(document.get()));
    return collector.result();
}

}  // namespace lembrete
