#include "data/SqlDialect.h"

#include <algorithm>
#include <vector>

namespace xhook::data {

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == '_' || c == '@' || c == '#' || c == '$';
}

// One change to the original text: `removed` characters at `pos` replaced by `inserted`.
struct Edit {
    qsizetype pos;
    qsizetype removed;
    QString inserted;
};

// Scans the text once, token by token. Each parenthesis opens a level; a "select top N" notes N
// on its level, and the limit is written after the last token of that level when the level
// ends: at its closing parenthesis, at a ';', or at the end of the text.
class TransactSqlRewriter {
  public:
    explicit TransactSqlRewriter(const QString& sql) : sql_(sql) { levels_.push_back({}); }

    QString run() {
        while (pos_ < sql_.size()) step();
        for (auto level = levels_.rbegin(); level != levels_.rend(); ++level) flushLimit(*level);
        return edits_.empty() ? sql_ : applyEdits();
    }

  private:
    struct Level {
        qsizetype lastTokenEnd = 0;
        QString limit;
    };

    void step() {
        const QChar c = sql_[pos_];
        if (c.isSpace()) {
            ++pos_;
        } else if (atComment(pos_)) {
            pos_ = afterComment(pos_);
        } else if (c == '\'' || c == '"' || c == '[') {
            pos_ = afterQuoted(pos_);
            markToken();
        } else if (c == '(') {
            ++pos_;
            markToken();
            levels_.push_back({pos_, {}});
        } else if (c == ')') {
            closeLevel();
            ++pos_;
            markToken();
        } else if (c == ';') {
            flushLimit(levels_.back());
            ++pos_;
            markToken();
        } else if (isWordChar(c)) {
            word();
        } else {
            ++pos_;
            markToken();
        }
    }

    void word() {
        const qsizetype start = pos_;
        pos_ = wordEnd(start);
        markToken();
        const QStringView text = QStringView(sql_).mid(start, pos_ - start);
        if (text.compare(u"select", Qt::CaseInsensitive) == 0) {
            rewriteTop();
        } else if (text.compare(u"isnull", Qt::CaseInsensitive) == 0 && !afterDot(start) &&
                   charAt(afterBlanks(pos_)) == '(') {
            edits_.push_back({start, pos_ - start, QStringLiteral("coalesce")});
        }
    }

    // "top N" or "top (N)" right after a select: removed with one blank after it, and N noted
    // for the level. A top that SQLite cannot express (percent, with ties, a variable) stays.
    void rewriteTop() {
        Level& level = levels_.back();
        const qsizetype top = afterBlanksAndComments(pos_);
        if (!level.limit.isEmpty() || !isWord(top, u"top")) return;
        qsizetype end = top + 3;
        const QString count = readCount(end);
        if (count.isEmpty()) return;
        const qsizetype next = afterBlanks(end);
        if (isWord(next, u"percent") || isWord(next, u"with")) return;
        if (end < sql_.size() && sql_[end].isSpace()) ++end;
        edits_.push_back({top, end - top, QString()});
        level.limit = count;
        pos_ = end;
    }

    // Digits, or digits in parentheses, from `pos` (blanks allowed); moves `pos` past them.
    QString readCount(qsizetype& pos) const {
        qsizetype p = afterBlanks(pos);
        const bool parenthesised = charAt(p) == '(';
        if (parenthesised) p = afterBlanks(p + 1);
        const qsizetype digits = p;
        while (charAt(p).isDigit()) ++p;
        if (p == digits || isWordChar(charAt(p))) return {};
        const QString count = sql_.mid(digits, p - digits);
        if (parenthesised) {
            p = afterBlanks(p);
            if (charAt(p) != ')') return {};
            ++p;
        }
        pos = p;
        return count;
    }

    void closeLevel() {
        flushLimit(levels_.back());
        if (levels_.size() > 1) levels_.pop_back();
    }

    void flushLimit(Level& level) {
        if (level.limit.isEmpty()) return;
        edits_.push_back({level.lastTokenEnd, 0, " limit " + level.limit});
        level.limit.clear();
    }

    void markToken() { levels_.back().lastTokenEnd = pos_; }

    QString applyEdits() {
        std::stable_sort(edits_.begin(), edits_.end(), [](const Edit& a, const Edit& b) {
            return a.pos != b.pos ? a.pos < b.pos : a.removed < b.removed;
        });
        QString result;
        result.reserve(sql_.size() + 16 * qsizetype(edits_.size()));
        qsizetype copied = 0;
        for (const Edit& edit : edits_) {
            result += QStringView(sql_).mid(copied, edit.pos - copied);
            result += edit.inserted;
            copied = edit.pos + edit.removed;
        }
        result += QStringView(sql_).mid(copied);
        return result;
    }

    QChar charAt(qsizetype pos) const { return pos < sql_.size() ? sql_[pos] : QChar(); }

    qsizetype wordEnd(qsizetype pos) const {
        while (pos < sql_.size() && isWordChar(sql_[pos])) ++pos;
        return pos;
    }

    bool isWord(qsizetype pos, QStringView word) const {
        const qsizetype end = wordEnd(pos);
        return end > pos &&
               QStringView(sql_).mid(pos, end - pos).compare(word, Qt::CaseInsensitive) == 0;
    }

    // Whether the word at `start` is a member name such as a.isnull.
    bool afterDot(qsizetype start) const {
        qsizetype p = start;
        while (p > 0 && sql_[p - 1].isSpace()) --p;
        return p > 0 && sql_[p - 1] == '.';
    }

    qsizetype afterBlanks(qsizetype pos) const {
        while (pos < sql_.size() && sql_[pos].isSpace()) ++pos;
        return pos;
    }

    qsizetype afterBlanksAndComments(qsizetype pos) const {
        for (;;) {
            pos = afterBlanks(pos);
            if (!atComment(pos)) return pos;
            pos = afterComment(pos);
        }
    }

    bool atComment(qsizetype pos) const {
        const QChar next = charAt(pos + 1);
        return (charAt(pos) == '-' && next == '-') || (charAt(pos) == '/' && next == '*');
    }

    qsizetype afterComment(qsizetype pos) const {
        if (sql_[pos] == '-') {
            const qsizetype newline = sql_.indexOf('\n', pos);
            return newline < 0 ? sql_.size() : newline;
        }
        const qsizetype close = sql_.indexOf(QStringLiteral("*/"), pos + 2);
        return close < 0 ? sql_.size() : close + 2;
    }

    // After a '…' literal, a "…" or […] identifier; a doubled closing mark stands for itself.
    qsizetype afterQuoted(qsizetype pos) const {
        const QChar close = sql_[pos] == '[' ? QChar(']') : sql_[pos];
        for (++pos; pos < sql_.size(); ++pos) {
            if (sql_[pos] != close) continue;
            if (charAt(pos + 1) != close) return pos + 1;
            ++pos;
        }
        return pos;
    }

    const QString& sql_;
    qsizetype pos_ = 0;
    std::vector<Level> levels_;
    std::vector<Edit> edits_;
};

}  // namespace

QString rewriteTransactSql(const QString& sql) {
    return TransactSqlRewriter(sql).run();
}

}  // namespace xhook::data
