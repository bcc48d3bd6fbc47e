#include "spell/SpellCheck.h"

#include "spell/LetterCodes.h"
#include "spell/SpellEngine.h"
#include "spell/SpellLists.h"
#include "spell/SpellText.h"

TSpellCheck::TSpellCheck(SpellEngine& engine, TSpellLists& lists, int userIdentity)
    : engine_(engine), lists_(lists), userIdentity_(userIdentity) {}

TSpellCheck::TResult TSpellCheck::Run(ISpellText& text, TTextPoint from, TTextPoint to, ISpellUser& user) {
    TResult result;
    TWordWalker walker(text, from, to);
    while (true) {
        if (user.Pump()) {
            result.cancelled = true;
            break;
        }
        const auto word = walker.Next();
        if (!word) break;
        ++result.checked;
        if (engine_.Lookup(word->text) || lists_.Ignored(word->text)) continue;
        ++result.unknown;
        user.Highlight(*word);
        std::string replacement;
        TSpellAnswer answer;
        if (auto change = lists_.ChangeOf(word->text)) {
            answer = TSpellAnswer::Change;
            replacement = std::move(*change);
        } else {
            answer = user.Ask(*word, replacement);
        }
        switch (answer) {
            case TSpellAnswer::Waiting:
            case TSpellAnswer::Cancel:
                result.cancelled = true;
                return result;
            case TSpellAnswer::Change:
            case TSpellAnswer::ChangeAll:
                if (answer == TSpellAnswer::ChangeAll) lists_.ChangeAll(word->text, replacement);
                // A word the user edited meanwhile is left as it now reads.
                if (text.Replace(word->line, word->start, word->text, replacement)) {
                    walker.Replaced(*word, static_cast<int>(replacement.size()));
                    ++result.replaced;
                }
                break;
            case TSpellAnswer::Add:
                if (userIdentity_ > 0) (void)engine_.AddWord(userIdentity_, word->text);
                break;
            case TSpellAnswer::Ignore:
                break;
            case TSpellAnswer::IgnoreAll:
                lists_.IgnoreAll(word->text);
                break;
        }
    }
    return result;
}
