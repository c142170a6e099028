#include "db/sql_text.h"

#include <vector>

namespace tanka::sqltext {

namespace {

enum class Kind { Space, Comment, String, Ident, Number, Punct };

struct Token {
    Kind kind;
    qsizetype pos;
    qsizetype len;
};

bool isWordStart(QChar c) {
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#';
}
bool isWordChar(QChar c) {
    return isWordStart(c) || c.isDigit() || c == u'$';
}

// Index just past a run that ends with `close`, where a doubled `close` stands
// for itself. An unterminated run ends with the text.
qsizetype skipQuoted(const QString& s, qsizetype i, QChar close) {
    for (++i; i < s.size(); ++i) {
        if (s[i] == close) {
            if (i + 1 < s.size() && s[i + 1] == close) {
                ++i;
                continue;
            }
            return i + 1;
        }
    }
    return s.size();
}

std::vector<Token> tokenize(const QString& s) {
    std::vector<Token> tokens;
    qsizetype i = 0;
    while (i < s.size()) {
        const qsizetype start = i;
        const QChar c = s[i];
        Kind kind = Kind::Punct;
        if (c.isSpace()) {
            while (i < s.size() && s[i].isSpace())
                ++i;
            kind = Kind::Space;
        } else if (c == u'-' && i + 1 < s.size() && s[i + 1] == u'-') {
            while (i < s.size() && s[i] != u'\n')
                ++i;
            kind = Kind::Comment;
        } else if (c == u'/' && i + 1 < s.size() && s[i + 1] == u'*') {
            const qsizetype end = s.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? s.size() : end + 2;
            kind = Kind::Comment;
        } else if (c == u'\'') {
            i = skipQuoted(s, i, u'\'');
            kind = Kind::String;
        } else if (c == u'[') {
            i = skipQuoted(s, i, u']');
            kind = Kind::Ident;
        } else if (c == u'"') {
            i = skipQuoted(s, i, u'"');
            kind = Kind::Ident;
        } else if (isWordStart(c)) {
            while (i < s.size() && isWordChar(s[i]))
                ++i;
            kind = Kind::Ident;
        } else if (c.isDigit()) {
            while (i < s.size() && (s[i].isDigit() || s[i] == u'.' || s[i].isLetter()))
                ++i;
            kind = Kind::Number;
        } else {
            ++i;
        }
        tokens.push_back({kind, start, i - start});
    }
    return tokens;
}

bool isPunct(const QString& s, const Token& t, QChar c) {
    return t.kind == Kind::Punct && s[t.pos] == c;
}

bool isWord(const QString& s, const Token& t, QStringView word) {
    return t.kind == Kind::Ident && s[t.pos] != u'[' && s[t.pos] != u'"' &&
           QStringView(s).mid(t.pos, t.len).compare(word, Qt::CaseInsensitive) == 0;
}

QString textOf(const QString& s, const Token& t) {
    return s.mid(t.pos, t.len);
}

} // namespace

QString normalized(const QString& sql) {
    QString text = sql.simplified().toLower();
    while (text.endsWith(u';'))
        text = text.chopped(1).trimmed();
    return text;
}

QString unquoteIdentifier(const QString& token) {
    if (token.size() >= 2 && token.front() == u'[' && token.back() == u']')
        return token.mid(1, token.size() - 2).replace(QStringLiteral("]]"), QStringLiteral("]"));
    if (token.size() >= 2 && token.front() == u'"' && token.back() == u'"')
        return token.mid(1, token.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return token;
}

QString quoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(u']', QStringLiteral("]]"));
    return u'[' + quoted + u']';
}

namespace {

// Tracks where a statement names its tables.
class TablePositions {
public:
    // Called for each significant token before the next one is examined.
    void see(const QString& s, const Token& t) {
        if (isPunct(s, t, u'(')) {
            ++m_depth;
        } else if (isPunct(s, t, u')')) {
            --m_depth;
            while (!m_fromDepths.empty() && m_fromDepths.back() > m_depth)
                m_fromDepths.pop_back();
        } else if (isWord(s, t, u"from")) {
            m_fromDepths.push_back(m_depth);
        } else if (!m_fromDepths.empty() && m_fromDepths.back() == m_depth) {
            for (const QStringView word :
                 {u"where", u"group", u"order", u"having", u"union", u"set", u"values", u"select",
                  u"limit", u"except", u"intersect", u"window"})
                if (isWord(s, t, word)) {
                    m_fromDepths.pop_back();
                    break;
                }
        }
        m_previous = &t;
    }
    // Whether the token after the last one seen names a table;
    // functionCallPossible tells whether a following '(' makes it a call.
    bool tableFollows(const QString& s, bool& functionCallPossible) const {
        if (!m_previous)
            return false;
        functionCallPossible = true;
        if (isWord(s, *m_previous, u"from") || isWord(s, *m_previous, u"join"))
            return true;
        if (isPunct(s, *m_previous, u','))
            return !m_fromDepths.empty() && m_fromDepths.back() == m_depth;
        functionCallPossible = false;
        return isWord(s, *m_previous, u"update") || isWord(s, *m_previous, u"into");
    }

private:
    int m_depth = 0;
    std::vector<int> m_fromDepths;
    const Token* m_previous = nullptr;
};

} // namespace

QString replaceObjectNames(const QString& sql,
                           const std::function<QString(const ObjectName&)>& replace) {
    const std::vector<Token> all = tokenize(sql);
    const auto n = all.size();
    // Index of the next significant token at or after i (n when none).
    const auto nextSignificant = [&](std::size_t i) {
        while (i < n && (all[i].kind == Kind::Space || all[i].kind == Kind::Comment))
            ++i;
        return i;
    };
    const auto ident = [&](std::size_t i) { return i < n && all[i].kind == Kind::Ident; };
    const auto dot = [&](std::size_t i) { return i < n && isPunct(sql, all[i], u'.'); };

    QString out;
    out.reserve(sql.size());
    TablePositions positions;
    std::size_t i = 0;
    while (i < n) {
        const Token& t = all[i];
        if (t.kind == Kind::Space || t.kind == Kind::Comment) {
            out += textOf(sql, t);
            ++i;
            continue;
        }
        bool functionCallPossible = false;
        const bool tablePosition = positions.tableFollows(sql, functionCallPossible);
        if (ident(i) && (i == 0 || !dot(i - 1))) {
            ObjectName name;
            std::size_t last = 0;
            if (dot(i + 1) && ident(i + 2) && dot(i + 3) && ident(i + 4)) {
                name.database = unquoteIdentifier(textOf(sql, all[i]));
                name.schema = unquoteIdentifier(textOf(sql, all[i + 2]));
                name.object = unquoteIdentifier(textOf(sql, all[i + 4]));
                last = i + 4;
            } else if (dot(i + 1) && dot(i + 2) && ident(i + 3)) {
                name.database = unquoteIdentifier(textOf(sql, all[i]));
                name.object = unquoteIdentifier(textOf(sql, all[i + 3]));
                last = i + 3;
            } else if (tablePosition && dot(i + 1) && ident(i + 2) && isWord(sql, all[i], u"dbo")) {
                name.schema = unquoteIdentifier(textOf(sql, all[i]));
                name.object = unquoteIdentifier(textOf(sql, all[i + 2]));
                last = i + 2;
            } else if (tablePosition && !dot(i + 1)) {
                const std::size_t after = nextSignificant(i + 1);
                if (!(functionCallPossible && after < n && isPunct(sql, all[after], u'('))) {
                    name.object = unquoteIdentifier(textOf(sql, all[i]));
                    last = i;
                }
            }
            if (!name.object.isEmpty() && !dot(last + 1)) {
                name.text = sql.mid(t.pos, all[last].pos + all[last].len - t.pos);
                out += replace(name);
                positions.see(sql, all[last]);
                i = last + 1;
                continue;
            }
        }
        out += textOf(sql, t);
        positions.see(sql, t);
        ++i;
    }
    return out;
}

std::optional<SingleTableSelect> singleTableSelect(const QString& sql) {
    std::vector<Token> t;
    for (const Token& token : tokenize(sql))
        if (token.kind != Kind::Space && token.kind != Kind::Comment)
            t.push_back(token);
    while (!t.empty() && isPunct(sql, t.back(), u';'))
        t.pop_back();
    const auto n = t.size();
    if (n < 4 || !isWord(sql, t[0], u"select") || isWord(sql, t[1], u"distinct") ||
        isWord(sql, t[1], u"top"))
        return std::nullopt;

    // FROM at nesting depth 0; nothing at depth 0 may combine or group rows.
    std::size_t from = 0;
    int depth = 0;
    for (std::size_t i = 1; i < n; ++i) {
        if (isPunct(sql, t[i], u'('))
            ++depth;
        else if (isPunct(sql, t[i], u')'))
            --depth;
        else if (depth == 0) {
            if (from == 0 && isWord(sql, t[i], u"from"))
                from = i;
            for (const QStringView word :
                 {u"union", u"group", u"having", u"into", u"except", u"intersect", u"for"})
                if (isWord(sql, t[i], word))
                    return std::nullopt;
            if (isPunct(sql, t[i], u';'))
                return std::nullopt;
        }
    }
    if (from < 2 || from + 1 >= n || t[from + 1].kind != Kind::Ident)
        return std::nullopt;

    SingleTableSelect result;
    std::size_t i = from + 1;
    result.tableParts << unquoteIdentifier(textOf(sql, t[i++]));
    while (i < n && isPunct(sql, t[i], u'.')) {
        ++i;
        if (i < n && t[i].kind == Kind::Ident)
            result.tableParts << unquoteIdentifier(textOf(sql, t[i++]));
        else if (i < n && isPunct(sql, t[i], u'.'))
            result.tableParts << QString(); // db..object
        else
            return std::nullopt;
    }
    if (result.tableParts.size() > 3)
        return std::nullopt;
    // An alias, with or without AS; then nothing but WHERE or ORDER BY.
    const auto clause = [&](std::size_t k) {
        return isWord(sql, t[k], u"where") || isWord(sql, t[k], u"order");
    };
    if (i < n && isWord(sql, t[i], u"as") && (++i >= n || t[i].kind != Kind::Ident))
        return std::nullopt;
    if (i < n && t[i].kind == Kind::Ident && !clause(i))
        ++i;
    if (i < n && !clause(i))
        return std::nullopt;
    return result;
}

} // namespace tanka::sqltext
