#include "book/FilterEngine.h"

#include "book/FilterActions.h"
#include "book/FilterFields.h"
#include "common/BoundedText.h"
#include "common/FieldText.h"
#include "common/FileUtil.h"
#include "common/TextUtil.h"

namespace filterengine {

namespace {

int Operator(const TListRow& f, std::size_t item) {
    const auto v = text::ParseInt(f.SubItem(item));
    return v && *v >= 0 && *v <= 3 ? *v : filterfield::opAnd;
}

bool Combine(bool a, bool b, int op) {
    switch (op) {
        case filterfield::opOr:
            return a || b;
        case filterfield::opXor:
            return a != b;
        case filterfield::opAndNot:
            return a && !b;
        default:
            return a && b;
    }
}

// A stored text as a filter compares it: its Unicode text, folded when the
// filter ignores case, so that "привет" matches "Привет" as "hello" does "Hello".
std::string Compared(const std::string& stored, bool ignoreCase) {
    std::string plain = fieldtext::Decode(stored);
    return ignoreCase ? fieldtext::Fold(plain) : plain;
}

// Terms are texts of at most 255 characters, like every stored field.
std::string Term(const TListRow& f, std::size_t item, bool ignoreCase) {
    return Compared(TBoundedText(f.SubItem(item)).str(), ignoreCase);
}

bool OneTest(const std::string& text, const std::string& a, const std::string& b, int op) {
    const bool hasA = text.find(a) != std::string::npos;
    if (b.empty()) return hasA;
    return Combine(hasA, text.find(b) != std::string::npos, op);
}

}  // namespace

bool Matches(const TListRow& f, const std::string& address, const std::string& subject) {
    using namespace filterfield;
    const int options = (IsTrue(f.SubItem(CaseSensitive)) ? 1 : 0) + (IsTrue(f.SubItem(Reverse)) ? 1 : 0);
    const bool ignoreCase = (options & 1) != 0;
    const bool reverse = (options & 2) != 0;
    const bool addressTest = !f.SubItem(Term1).empty();
    const bool subjectTest = !f.SubItem(Term3).empty();
    if (!addressTest && !subjectTest) return false;
    bool addressResult = false, subjectResult = false;
    if (addressTest)
        addressResult = OneTest(Compared(address, ignoreCase), Term(f, Term1, ignoreCase), Term(f, Term2, ignoreCase),
                                Operator(f, Op1));
    if (subjectTest)
        subjectResult = OneTest(Compared(subject, ignoreCase), Term(f, Term3, ignoreCase), Term(f, Term4, ignoreCase),
                                Operator(f, Op2));
    bool result;
    if (addressTest && subjectTest)
        result = Combine(addressResult, subjectResult, Operator(f, Op3));
    else
        result = addressTest ? addressResult : subjectResult;
    return reverse ? !result : result;
}

void Apply(const std::vector<TListRow>& filters, const std::string& address, const std::string& subject, unsigned mask,
           const std::string& body, std::string& target, std::size_t maxMailboxLength, IFilterActions& actions) {
    using namespace filterfield;
    for (const auto& f : filters) {
        const bool in = !f.SubItem(In).empty() && f.SubItem(In)[0] == 'Y' && (mask & kIncoming);
        const bool out = !f.SubItem(Out).empty() && f.SubItem(Out)[0] == 'Y' && (mask & kOutgoing);
        if (!in && !out) continue;
        if (!Matches(f, address, subject)) continue;
        const std::string& moveTo = f.SubItem(MoveTo);
        if (!moveTo.empty() && actions.IsMailbox(moveTo)) target = fieldtext::Fit(moveTo, maxMailboxLength);
        if (f.SubItem(RunProgram) == "Yes") actions.RunProgram(f.SubItem(ProgramFile));
        if (f.SubItem(PlaySound) == "Yes" && !f.SubItem(SoundFile).empty() && fileutil::Exists(f.SubItem(SoundFile)))
            actions.PlaySound(f.SubItem(SoundFile));
        if (!f.SubItem(PrintTo).empty()) actions.Print(body, subject, f.SubItem(PrintTo));
    }
}

}  // namespace filterengine
