#include "automation/ooxml/wildcard.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "automation/error.h"
#include "automation/ooxml/unicode.h"

namespace automation::ooxml {

namespace {

// ---------------------------------------------------------------------------------------------------------
// Character classes

bool isDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= 0xFF10 && c <= 0xFF19); }

bool isLetter(char16_t c) { return isWordCharacter(c) && !isDigit(c); }

// ---------------------------------------------------------------------------------------------------------
// The parsed pattern

enum class CharClass { Digit, Letter };
enum class Assertion { WordStart, WordEnd, NoWordSplit };

struct CharSet {
    std::vector<std::pair<char16_t, char16_t>> ranges;
    bool negated = false;

    bool contains(char16_t c) const {
        bool in =
            std::any_of(ranges.begin(), ranges.end(), [c](const auto& r) { return c >= r.first && c <= r.second; });
        return in != negated;
    }
};

struct Node {
    enum class Kind { Sequence, Group, Char, Any, Set, Class, LazyStar, Repeat, Assert };
    Kind kind = Kind::Sequence;
    char16_t ch = 0;
    bool fold = false;  // Char: compare without case
    CharSet set;
    CharClass cls = CharClass::Digit;
    Assertion assertion = Assertion::WordStart;
    int group = 0;
    int min = 0;
    int max = -1;  // -1: no upper bound
    std::vector<Node> children;

    bool quantifiable() const {
        return kind == Kind::Char || kind == Kind::Any || kind == Kind::Set || kind == Kind::Class ||
               kind == Kind::Group;
    }
};

Node makeNode(Node::Kind kind) {
    Node n;
    n.kind = kind;
    return n;
}

Node charNode(char16_t c, bool fold = false) {
    Node n = makeNode(Node::Kind::Char);
    n.ch = fold ? foldCase(c) : c;
    n.fold = fold;
    return n;
}

[[noreturn]] void reject() { throw errors::invalidPattern(); }

[[noreturn]] void tooComplex() { throw Error(errors::InvalidPattern, "“查找内容”中的模式匹配表达式过于复杂。"); }

std::optional<char16_t> readCaretCharacter(const std::u16string& p, std::size_t& i) {
    ++i;
    if (i >= p.size()) reject();
    const char16_t c = p[i];
    if (c >= u'0' && c <= u'9') {
        unsigned value = 0;
        std::size_t digits = 0;
        while (i < p.size() && p[i] >= u'0' && p[i] <= u'9' && digits < 5) {
            value = value * 10 + (p[i] - u'0');
            ++i;
            ++digits;
        }
        if (value == 0 || value > 0xFFFF) reject();
        return static_cast<char16_t>(value);
    }
    char16_t code = 0;
    switch (c) {
        case u'p': code = kParagraphMark; break;
        case u't': code = u'\t'; break;
        case u'^': code = u'^'; break;
        case u'l': code = 11; break;
        case u'm': code = 12; break;
        case u'n': code = 14; break;
        case u's': code = 0xA0; break;
        case u'~': code = 30; break;
        case u'-': code = 31; break;
        default: return std::nullopt;
    }
    ++i;
    return code;
}

// A ^ code at p[i] (p[i] is the caret). Fills `node` and returns the index after the code. Codes that
// stand for a class (^? ^# ^$) are accepted only where `allowClasses` is set.
std::size_t parseCaret(const std::u16string& p, std::size_t i, bool allowClasses, Node& node) {
    if (const auto character = readCaretCharacter(p, i)) {
        node = charNode(*character);
        return i;
    }
    const char16_t c = p[i];
    if (!allowClasses) reject();
    switch (c) {
        case u'?': node = makeNode(Node::Kind::Any); break;
        case u'#':
        case u'$':
            node = makeNode(Node::Kind::Class);
            node.cls = c == u'#' ? CharClass::Digit : CharClass::Letter;
            break;
        default: reject();
    }
    return i + 1;
}

class WildcardParser {
public:
    explicit WildcardParser(const std::u16string& pattern) : p_(pattern) {}

    Node parse() {
        Node seq = parseSequence(0);
        if (i_ != p_.size()) reject();  // a stray ')'
        return seq;
    }

    int groups() const { return groups_; }

private:
    Node parseSequence(int depth) {
        Node seq = makeNode(Node::Kind::Sequence);
        while (i_ < p_.size()) {
            char16_t c = p_[i_];
            if (c == u')') {
                if (depth == 0) reject();
                break;
            }
            switch (c) {
                case u'(': {
                    ++i_;
                    if (++groups_ > 9) reject();
                    Node group = makeNode(Node::Kind::Group);
                    group.group = groups_;
                    group.children = parseSequence(depth + 1).children;
                    if (i_ >= p_.size() || p_[i_] != u')' || group.children.empty()) reject();
                    ++i_;
                    seq.children.push_back(std::move(group));
                    break;
                }
                case u'[': seq.children.push_back(parseSet()); break;
                case u']':
                case u'}': reject();
                case u'{': {
                    auto [min, max] = parseCount();
                    quantify(seq, min, max);
                    break;
                }
                case u'@':
                    ++i_;
                    quantify(seq, 1, -1);
                    break;
                case u'?':
                    ++i_;
                    seq.children.push_back(makeNode(Node::Kind::Any));
                    break;
                case u'*':
                    ++i_;
                    seq.children.push_back(makeNode(Node::Kind::LazyStar));
                    break;
                case u'<':
                case u'>': {
                    ++i_;
                    Node a = makeNode(Node::Kind::Assert);
                    a.assertion = c == u'<' ? Assertion::WordStart : Assertion::WordEnd;
                    seq.children.push_back(std::move(a));
                    break;
                }
                case u'\\':
                    ++i_;
                    if (i_ >= p_.size()) reject();
                    // \1..\9 in the find text would refer back to a group; that is not supported.
                    if (p_[i_] >= u'1' && p_[i_] <= u'9') reject();
                    seq.children.push_back(charNode(p_[i_++]));
                    break;
                case u'^': {
                    Node n;
                    i_ = parseCaret(p_, i_, false, n);
                    seq.children.push_back(std::move(n));
                    break;
                }
                default: ++i_; seq.children.push_back(charNode(c));
            }
        }
        return seq;
    }

    void quantify(Node& seq, int min, int max) {
        if (seq.children.empty() || !seq.children.back().quantifiable()) reject();
        Node rep = makeNode(Node::Kind::Repeat);
        rep.min = min;
        rep.max = max;
        rep.children.push_back(std::move(seq.children.back()));
        seq.children.back() = std::move(rep);
    }

    // {n}, {n,} or {n,m} at i_.
    std::pair<int, int> parseCount() {
        ++i_;
        auto number = [this]() {
            std::size_t begin = i_;
            long value = 0;
            while (i_ < p_.size() && p_[i_] >= u'0' && p_[i_] <= u'9') {
                value = value * 10 + (p_[i_] - u'0');
                if (value > 0xFFFF) reject();
                ++i_;
            }
            if (i_ == begin) reject();
            return static_cast<int>(value);
        };
        int min = number();
        int max = min;
        if (i_ < p_.size() && p_[i_] == u',') {
            ++i_;
            max = (i_ < p_.size() && p_[i_] == u'}') ? -1 : number();
        }
        if (i_ >= p_.size() || p_[i_] != u'}') reject();
        ++i_;
        if (max != -1 && max < min) reject();
        return {min, max};
    }

    // One member of a set: a character, an escaped character or a ^ code.
    char16_t setChar() {
        char16_t c = p_[i_];
        if (c == u'\\') {
            if (++i_ >= p_.size()) reject();
            return p_[i_++];
        }
        if (c == u'^') {
            Node n;
            i_ = parseCaret(p_, i_, false, n);
            return n.ch;
        }
        ++i_;
        return c;
    }

    Node parseSet() {
        ++i_;  // '['
        Node node = makeNode(Node::Kind::Set);
        if (i_ < p_.size() && p_[i_] == u'!') {
            node.set.negated = true;
            ++i_;
        }
        while (true) {
            if (i_ >= p_.size()) reject();
            if (p_[i_] == u']') break;
            char16_t low = setChar();
            char16_t high = low;
            if (i_ + 1 < p_.size() && p_[i_] == u'-' && p_[i_ + 1] != u']') {
                ++i_;
                high = setChar();
                if (high < low) reject();
            }
            node.set.ranges.emplace_back(low, high);
        }
        ++i_;  // ']'
        if (node.set.ranges.empty()) reject();
        return node;
    }

    const std::u16string& p_;
    std::size_t i_ = 0;
    int groups_ = 0;
};

Node parseLiteral(const std::u16string& text, bool matchCase, bool matchWholeWord) {
    Node seq = makeNode(Node::Kind::Sequence);
    Node guard = makeNode(Node::Kind::Assert);
    guard.assertion = Assertion::NoWordSplit;
    if (matchWholeWord) seq.children.push_back(guard);
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == u'^') {
            Node n;
            i = parseCaret(text, i, true, n);
            if (n.kind == Node::Kind::Char && !matchCase) n = charNode(n.ch, true);
            seq.children.push_back(std::move(n));
        } else {
            seq.children.push_back(charNode(text[i++], !matchCase));
        }
    }
    if (matchWholeWord) seq.children.push_back(guard);
    return seq;
}

// ---------------------------------------------------------------------------------------------------------
// The compiled program

enum class Op : std::uint8_t { Char, CharFold, Any, Set, Class, Split, Jmp, Save, Assert, Match };

struct Inst {
    Op op = Op::Match;
    char16_t ch = 0;
    int x = 0;  // Set: set index; Class: class; Split/Jmp: preferred target; Save: slot; Assert: kind
    int y = 0;  // Split: the other target
};

// Far more than any pattern a person types; keeps a search's cost per character bounded.
constexpr std::size_t MaxProgramSize = 4096;
// Thread steps allowed per search before it gives up (generous: ordinary searches need a few per char).
constexpr std::uint64_t MinimumBudget = 50'000'000;
constexpr std::uint64_t BudgetPerCharacter = 400;

}  // namespace

struct Matcher::Program {
    std::vector<Inst> code;
    std::vector<CharSet> sets;
    int groups = 0;
    bool matchesEmpty = false;
    // The instructions that can consume the first character of a match; empty when any character can
    // (then no skipping ahead is done).
    std::vector<int> firstInsts;

    bool consumes(const Inst& in, char16_t c) const {
        if (c == kCellMark) return false;
        switch (in.op) {
            case Op::Char: return c == in.ch;
            case Op::CharFold: return foldCase(c) == in.ch;
            case Op::Any: return true;
            case Op::Set: return sets[static_cast<std::size_t>(in.x)].contains(c);
            case Op::Class: return in.x == static_cast<int>(CharClass::Digit) ? isDigit(c) : isLetter(c);
            default: return false;
        }
    }
};

namespace {

class Compiler {
public:
    explicit Compiler(Matcher::Program& program) : prog_(program) {}

    void compile(const Node& root) {
        emit({Op::Save, 0, 0, 0});
        compileNode(root);
        emit({Op::Save, 0, 1, 0});
        emit({Op::Match, 0, 0, 0});
        analyseStart();
    }

private:
    int emit(Inst in) {
        if (prog_.code.size() >= MaxProgramSize) tooComplex();
        prog_.code.push_back(in);
        return static_cast<int>(prog_.code.size() - 1);
    }
    int here() const { return static_cast<int>(prog_.code.size()); }

    void compileNode(const Node& n) {
        switch (n.kind) {
            case Node::Kind::Sequence:
                for (const Node& child : n.children) compileNode(child);
                break;
            case Node::Kind::Group:
                emit({Op::Save, 0, 2 * n.group, 0});
                for (const Node& child : n.children) compileNode(child);
                emit({Op::Save, 0, 2 * n.group + 1, 0});
                break;
            case Node::Kind::Char: emit({n.fold ? Op::CharFold : Op::Char, n.ch, 0, 0}); break;
            case Node::Kind::Any: emit({Op::Any, 0, 0, 0}); break;
            case Node::Kind::Set:
                prog_.sets.push_back(n.set);
                emit({Op::Set, 0, static_cast<int>(prog_.sets.size() - 1), 0});
                break;
            case Node::Kind::Class: emit({Op::Class, 0, static_cast<int>(n.cls), 0}); break;
            case Node::Kind::LazyStar: {
                // loop: prefer leaving, otherwise take one more character
                int loop = emit({Op::Split, 0, 0, 0});
                emit({Op::Any, 0, 0, 0});
                emit({Op::Jmp, 0, loop, 0});
                prog_.code[loop].x = here();
                prog_.code[loop].y = loop + 1;
                break;
            }
            case Node::Kind::Repeat: {
                const Node& child = n.children.front();
                for (int k = 0; k < n.min; ++k) compileNode(child);
                if (n.max == -1) {
                    int loop = emit({Op::Split, 0, 0, 0});
                    compileNode(child);
                    emit({Op::Jmp, 0, loop, 0});
                    prog_.code[loop].x = loop + 1;
                    prog_.code[loop].y = here();
                } else {
                    std::vector<int> splits;
                    for (int k = n.min; k < n.max; ++k) {
                        splits.push_back(emit({Op::Split, 0, 0, 0}));
                        prog_.code[splits.back()].x = splits.back() + 1;
                        compileNode(child);
                    }
                    for (int s : splits) prog_.code[s].y = here();
                }
                break;
            }
            case Node::Kind::Assert: emit({Op::Assert, 0, static_cast<int>(n.assertion), 0}); break;
        }
    }

    // Which instructions can take the first character, following every branch and assertion.
    void analyseStart() {
        std::vector<bool> seen(prog_.code.size(), false);
        std::vector<int> stack{0};
        std::vector<int> first;
        bool anyChar = false;
        while (!stack.empty()) {
            int pc = stack.back();
            stack.pop_back();
            if (seen[static_cast<std::size_t>(pc)]) continue;
            seen[static_cast<std::size_t>(pc)] = true;
            const Inst& in = prog_.code[static_cast<std::size_t>(pc)];
            switch (in.op) {
                case Op::Jmp: stack.push_back(in.x); break;
                case Op::Split:
                    stack.push_back(in.x);
                    stack.push_back(in.y);
                    break;
                case Op::Save:
                case Op::Assert: stack.push_back(pc + 1); break;
                case Op::Match: prog_.matchesEmpty = true; break;
                case Op::Any: anyChar = true; break;
                default: first.push_back(pc);
            }
        }
        if (!anyChar && !prog_.matchesEmpty) prog_.firstInsts = std::move(first);
    }

    Matcher::Program& prog_;
};

bool assertionHolds(int kind, std::u16string_view text, std::size_t pos) {
    bool before = pos > 0 && isWordCharacter(text[pos - 1]);
    bool after = pos < text.size() && isWordCharacter(text[pos]);
    // Two word characters side by side form one word unless one of them is an ideograph.
    bool joined = before && after && !isIdeographic(text[pos - 1]) && !isIdeographic(text[pos]);
    switch (static_cast<Assertion>(kind)) {
        case Assertion::WordStart: return after && !joined;
        case Assertion::WordEnd: return before && !joined;
        case Assertion::NoWordSplit: return !joined;
    }
    return false;
}

// The simultaneous simulation of every alternative of the program ("Pike VM"). Threads are kept in
// priority order; a thread reaching a program position already taken at the same text position is
// dropped, so the work per character is bounded by the program size.
class Machine {
public:
    using Caps = std::array<std::uint32_t, 20>;
    static constexpr std::uint32_t None = UINT32_MAX;

    Machine(const Matcher::Program& prog, std::u16string_view text, std::size_t to)
        : prog_(prog), text_(text), to_(to), mark_(prog.code.size(), 0) {
        budget_ = std::max<std::uint64_t>(MinimumBudget, BudgetPerCharacter * (text.size() + 1));
    }

    // The leftmost match (Word's preferred one among those starting there) starting at or after
    // `from`; with `anchored`, only a match starting exactly at `from`.
    std::optional<Caps> leftmost(std::size_t from, bool anchored) {
        std::vector<Thread> clist, nlist;
        std::optional<Caps> found;
        Caps empty;
        empty.fill(None);
        for (std::size_t pos = from;; ++pos) {
            if (!found && (!anchored || pos == from)) {
                if (clist.empty() && !prog_.firstInsts.empty() && !anchored) {
                    pos = skipToCandidate(pos);
                    ++generation_;
                }
                addThread(clist, 0, empty, pos);
            }
            if (clist.empty()) {
                if (found || anchored || pos >= to_) break;
                ++generation_;  // nothing carries over to the next position
                continue;       // the start failed at once (an assertion); try the next position
            }
            char16_t c = pos < to_ ? text_[pos] : 0;
            ++generation_;
            for (const Thread& t : clist) {
                const Inst& in = prog_.code[static_cast<std::size_t>(t.pc)];
                if (in.op == Op::Match) {
                    found = t.caps;
                    break;  // threads after this one have lower priority
                }
                if (pos < to_ && prog_.consumes(in, c)) addThread(nlist, t.pc + 1, t.caps, pos + 1);
            }
            std::swap(clist, nlist);
            nlist.clear();
            if (pos >= to_) break;
        }
        return found;
    }

    // The greatest start position of any match starting at or after `from`. Newer starts get the higher
    // priority so that a program position shared by several starts keeps the latest one.
    std::optional<std::size_t> lastStart(std::size_t from) {
        std::vector<Thread> clist, nlist, carried;
        std::optional<std::size_t> best;
        Caps start;
        start.fill(None);
        for (std::size_t pos = from;; ++pos) {
            ++generation_;
            clist.clear();
            start[0] = static_cast<std::uint32_t>(pos);
            addThread(clist, 1, start, pos);  // pc 1: past the Save of slot 0, recorded by hand
            for (const Thread& t : carried)
                if (mark_[static_cast<std::size_t>(t.pc)] != generation_) {
                    mark_[static_cast<std::size_t>(t.pc)] = generation_;
                    clist.push_back(t);
                }
            char16_t c = pos < to_ ? text_[pos] : 0;
            ++generation_;
            for (const Thread& t : clist) {
                const Inst& in = prog_.code[static_cast<std::size_t>(t.pc)];
                if (in.op == Op::Match) {
                    if (!best || t.caps[0] > *best) best = t.caps[0];
                } else if (pos < to_ && prog_.consumes(in, c)) {
                    addThread(nlist, t.pc + 1, t.caps, pos + 1);
                }
            }
            std::swap(carried, nlist);
            nlist.clear();
            if (pos >= to_) break;
        }
        return best;
    }

private:
    struct Thread {
        int pc;
        Caps caps;
    };

    void spend() {
        if (++steps_ > budget_) tooComplex();
    }

    std::size_t skipToCandidate(std::size_t pos) const {
        while (pos < to_) {
            char16_t c = text_[pos];
            for (int pc : prog_.firstInsts)
                if (prog_.consumes(prog_.code[static_cast<std::size_t>(pc)], c)) return pos;
            ++pos;
        }
        return pos;
    }

    void addThread(std::vector<Thread>& list, int pc0, const Caps& caps0, std::size_t pos) {
        stack_.push_back({pc0, caps0});
        while (!stack_.empty()) {
            Thread t = stack_.back();
            stack_.pop_back();
            spend();
            auto upc = static_cast<std::size_t>(t.pc);
            if (mark_[upc] == generation_) continue;
            mark_[upc] = generation_;
            const Inst& in = prog_.code[upc];
            switch (in.op) {
                case Op::Jmp: stack_.push_back({in.x, t.caps}); break;
                case Op::Split:
                    stack_.push_back({in.y, t.caps});
                    stack_.push_back({in.x, t.caps});
                    break;
                case Op::Save:
                    t.caps[static_cast<std::size_t>(in.x)] = static_cast<std::uint32_t>(pos);
                    stack_.push_back({t.pc + 1, t.caps});
                    break;
                case Op::Assert:
                    if (assertionHolds(in.x, text_, pos)) stack_.push_back({t.pc + 1, t.caps});
                    break;
                default: list.push_back(t);
            }
        }
    }

    const Matcher::Program& prog_;
    std::u16string_view text_;
    std::size_t to_;
    std::vector<std::uint64_t> mark_;
    std::uint64_t generation_ = 1;
    std::vector<Thread> stack_;
    std::uint64_t steps_ = 0;
    std::uint64_t budget_ = 0;
};

Match toMatch(const Machine::Caps& caps) {
    Match m;
    for (std::size_t g = 0; g < m.groups.size(); ++g) {
        if (caps[2 * g] != Machine::None && caps[2 * g + 1] != Machine::None)
            m.groups[g] = {caps[2 * g], caps[2 * g + 1]};
    }
    m.start = m.groups[0].start;
    m.end = m.groups[0].end;
    return m;
}

}  // namespace

std::u16string_view Match::group(std::u16string_view text, int n) const {
    if (n < 0 || n >= static_cast<int>(groups.size())) return {};
    const MatchSpan& s = groups[static_cast<std::size_t>(n)];
    if (!s.matched() || s.end > text.size() || s.end < s.start) return {};
    return text.substr(s.start, s.end - s.start);
}

Matcher Matcher::wildcard(const std::u16string& pattern) {
    WildcardParser parser(pattern);
    Node root = parser.parse();
    auto program = std::make_shared<Program>();
    program->groups = parser.groups();
    Compiler(*program).compile(root);
    return Matcher(std::move(program));
}

Matcher Matcher::literal(const std::u16string& text, bool matchCase, bool matchWholeWord) {
    Node root = parseLiteral(text, matchCase, matchWholeWord);
    auto program = std::make_shared<Program>();
    Compiler(*program).compile(root);
    return Matcher(std::move(program));
}

bool Matcher::matchesEmpty() const { return program_->matchesEmpty; }

std::optional<Match> Matcher::find(std::u16string_view text, std::size_t from, std::size_t to, bool forward) const {
    if (text.size() >= Machine::None) throw errors::badParameter("文本过长");
    to = std::min(to, text.size());
    if (from > to) return std::nullopt;
    Machine machine(*program_, text, to);
    std::optional<Machine::Caps> caps;
    if (forward) {
        caps = machine.leftmost(from, false);
    } else if (auto start = machine.lastStart(from)) {
        Machine anchored(*program_, text, to);
        caps = anchored.leftmost(*start, true);
    }
    if (!caps) return std::nullopt;
    return toMatch(*caps);
}

bool isWordCharacter(char16_t c) {
    if (c < 0x80) return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    if (c < 0xC0) return c == 0xAA || c == 0xB5 || c == 0xBA;
    if (c < 0x2000) return c != 0xD7 && c != 0xF7;  // Latin, Greek, Cyrillic and the other alphabets
    if (c < 0x2C00) return false;                   // punctuation, symbols, arrows, box drawing
    if (c < 0x2E00) return true;
    if (c < 0x2E80) return false;                                      // supplemental punctuation
    if (c < 0x3000) return true;                                       // radicals
    if (c < 0x3040) return c == 0x3005 || c == 0x3006 || c == 0x3007;  // CJK punctuation, except 々〆〇
    if (c < 0xE000) return true;                                       // kana, ideographs, Hangul, surrogate halves
    if (c < 0xF900) return false;                                      // private use
    if (c < 0xFE00) return true;
    if (c < 0xFE70) return false;  // variation selectors, compatibility punctuation
    if (c < 0xFF00) return c != 0xFEFF;
    return (c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A) ||
           (c >= 0xFF66 && c <= 0xFFDC);
}

bool isIdeographic(char16_t c) {
    return (c >= 0x2E80 && c <= 0x2FFF) || c == 0x3005 || c == 0x3006 || c == 0x3007 || (c >= 0x3040 && c <= 0x30FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xD800 && c <= 0xDFFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF66 && c <= 0xFF9F);
}

char16_t foldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
    if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<char16_t>(c + 0x20);
    return c;
}

std::optional<char16_t> caretCharacter(const std::u16string& text, std::size_t& i) {
    return readCaretCharacter(text, i);
}

}  // namespace automation::ooxml
