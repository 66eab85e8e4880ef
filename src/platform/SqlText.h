#pragma once
// Turning typed text into SQL literals. Every writer goes through sqlQuote, so no typed
// text can change what a statement does; the stored text is exactly what was typed. Text
// that could not be stored exactly is refused before anything is written (isStorableText).

#include <QString>
#include <QStringView>

inline QString sqlQuote(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// False for a text holding a NUL character (SQL text ends there, so the statement fails) or a
// lone UTF-16 surrogate, one half of a pair without the other as a paste or an input method
// may leave it (UTF-8 has no form for it, so it would be stored altered). Every other text,
// whole surrogate pairs such as emoji included, is stored exactly.
inline bool isStorableText(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isNull() || c.isLowSurrogate()) {
            return false;
        }
        if (c.isHighSurrogate()) {
            if (i + 1 == text.size() || !text[i + 1].isLowSurrogate()) {
                return false;
            }
            ++i;
        }
    }
    return true;
}

// What every form shows when it refuses such a text; nothing has been written.
inline QString unstorableTextMessage()
{
    return QString::fromUtf8("使用できない文字が含まれています。");
}
