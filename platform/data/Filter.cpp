// The filter expressions of datasets: parsed once when the dataset opens or
// the filter changes, and turned into a WHERE condition with bound values.

#include "platform/data/DataSet.h"

#include <cctype>
#include <cstdlib>

struct TDataSet::FilterNode {
    enum Kind { And, Or, Not, Compare, IsNull, IsNotNull } kind = Compare;
    AnsiString field;
    std::string op;
    dbengine::DbValue value;
    std::shared_ptr<FilterNode> left, right;
};

namespace {

using Node = std::shared_ptr<TDataSet::FilterNode>;

class Parser {
public:
    explicit Parser(const std::string& text) : s_(text) {}

    Node Parse() {
        Node n = ParseOr();
        Skip();
        if (i_ < s_.size()) Fail("testo inatteso '" + s_.substr(i_) + "'");
        return n;
    }

private:
    [[noreturn]] void Fail(const std::string& why) { throw std::string(why); }

    void Skip() {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_])))
            ++i_;
    }

    bool Keyword(const char* word) {
        Skip();
        std::size_t n = std::char_traits<char>::length(word);
        if (s_.size() - i_ < n) return false;
        for (std::size_t k = 0; k < n; ++k)
            if (std::tolower(static_cast<unsigned char>(s_[i_ + k])) != word[k]) return false;
        if (i_ + n < s_.size() &&
            (std::isalnum(static_cast<unsigned char>(s_[i_ + n])) || s_[i_ + n] == '_'))
            return false;
        i_ += n;
        return true;
    }

    Node Make(TDataSet::FilterNode::Kind kind, Node l, Node r) {
        auto n = std::make_shared<TDataSet::FilterNode>();
        n->kind = kind;
        n->left = std::move(l);
        n->right = std::move(r);
        return n;
    }

    Node ParseOr() {
        Node n = ParseAnd();
        while (Keyword("or"))
            n = Make(TDataSet::FilterNode::Or, n, ParseAnd());
        return n;
    }

    Node ParseAnd() {
        Node n = ParseUnary();
        while (Keyword("and"))
            n = Make(TDataSet::FilterNode::And, n, ParseUnary());
        return n;
    }

    Node ParseUnary() {
        if (Keyword("not")) return Make(TDataSet::FilterNode::Not, ParseUnary(), nullptr);
        Skip();
        if (i_ < s_.size() && s_[i_] == '(') {
            ++i_;
            Node n = ParseOr();
            Skip();
            if (i_ >= s_.size() || s_[i_] != ')') Fail("manca ')'");
            ++i_;
            return n;
        }
        return ParseComparison();
    }

    std::string Identifier() {
        Skip();
        if (i_ >= s_.size()) Fail("manca il nome di un campo");
        if (s_[i_] == '[' || s_[i_] == '"') {
            const char close = s_[i_] == '[' ? ']' : '"';
            const std::size_t end = s_.find(close, i_ + 1);
            if (end == std::string::npos) Fail("nome di campo non chiuso");
            std::string name = s_.substr(i_ + 1, end - i_ - 1);
            i_ = end + 1;
            if (name.empty()) Fail("nome di campo vuoto");
            return name;
        }
        const std::size_t start = i_;
        while (i_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[i_])) ||
                                  s_[i_] == '_' || static_cast<unsigned char>(s_[i_]) >= 0x80))
            ++i_;
        if (start == i_) Fail("manca il nome di un campo prima di '" + s_.substr(i_) + "'");
        return s_.substr(start, i_ - start);
    }

    Node ParseComparison() {
        auto n = std::make_shared<TDataSet::FilterNode>();
        n->field = AnsiString(Identifier());
        if (Keyword("is")) {
            const bool negated = Keyword("not");
            if (!Keyword("null")) Fail("atteso 'null' dopo 'is'");
            n->kind = negated ? TDataSet::FilterNode::IsNotNull : TDataSet::FilterNode::IsNull;
            return n;
        }
        Skip();
        static const char* ops[] = {"<>", "<=", ">=", "=", "<", ">"};
        for (const char* op : ops) {
            if (s_.compare(i_, std::char_traits<char>::length(op), op) == 0) {
                n->op = op;
                i_ += n->op.size();
                break;
            }
        }
        if (n->op.empty()) Fail("manca l'operatore di confronto dopo '" + n->field.str() + "'");
        n->value = Literal();
        return n;
    }

    dbengine::DbValue Literal() {
        Skip();
        if (i_ >= s_.size()) Fail("manca il valore del confronto");
        if (s_[i_] == '\'') {
            std::string text;
            ++i_;
            for (;;) {
                if (i_ >= s_.size()) Fail("testo non chiuso");
                if (s_[i_] == '\'') {
                    if (i_ + 1 < s_.size() && s_[i_ + 1] == '\'') {
                        text += '\'';
                        i_ += 2;
                        continue;
                    }
                    ++i_;
                    break;
                }
                text += s_[i_++];
            }
            // A quote closed in the middle of a word is not a literal's end.
            if (i_ < s_.size() &&
                (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '\''))
                Fail("testo non valido");
            return text;
        }
        if (Keyword("true")) return std::int64_t{1};
        if (Keyword("false")) return std::int64_t{0};
        Skip();
        const std::size_t start = i_;
        if (s_[i_] == '-' || s_[i_] == '+') ++i_;
        while (i_ < s_.size() &&
               (std::isdigit(static_cast<unsigned char>(s_[i_])) || s_[i_] == '.'))
            ++i_;
        const std::string number = s_.substr(start, i_ - start);
        if (number.empty() || number == "-" || number == "+") Fail("valore non valido");
        char* end = nullptr;
        if (number.find('.') == std::string::npos) {
            const long long v = std::strtoll(number.c_str(), &end, 10);
            if (end == number.c_str() + number.size()) return std::int64_t{v};
        } else {
            const double v = std::strtod(number.c_str(), &end);
            if (end == number.c_str() + number.size()) return v;
        }
        Fail("numero non valido '" + number + "'");
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

} // namespace

void TDataSet::ParseFilter() {
    filterTree_.reset();
    if (!filtered_ || filter_.Trim().IsEmpty()) return;
    try {
        Parser parser(filter_.str());
        filterTree_ = parser.Parse();
    } catch (const std::string& why) {
        DatabaseError("Filtro non valido in " + DisplayName() + ": " + filter_ + " (" +
                      AnsiString(why) + ")");
    }
}

AnsiString TDataSet::FilterToSql(const FilterNode* node, std::vector<dbengine::DbValue>& params,
                                 const std::function<AnsiString(const AnsiString&)>& quote) {
    if (!node) return "1=1";
    // Operands in order: the bound values follow the text's order.
    if (node->kind == FilterNode::And || node->kind == FilterNode::Or) {
        const AnsiString left = FilterToSql(node->left.get(), params, quote);
        const AnsiString right = FilterToSql(node->right.get(), params, quote);
        return "(" + left + (node->kind == FilterNode::And ? " AND " : " OR ") + right + ")";
    }
    switch (node->kind) {
    case FilterNode::And:
    case FilterNode::Or:
        break;
    case FilterNode::Not:
        return "(NOT " + FilterToSql(node->left.get(), params, quote) + ")";
    case FilterNode::IsNull:
        return "(" + quote(node->field) + " IS NULL)";
    case FilterNode::IsNotNull:
        return "(" + quote(node->field) + " IS NOT NULL)";
    case FilterNode::Compare:
        break;
    }
    params.push_back(node->value);
    return "(" + quote(node->field) + " " + AnsiString(node->op) + " ?)";
}
