// The reader of telephone numbers, and of call windows, on arbitrary text: either a number of the
// plan or one refusal with its sentence, and a number read back from its national form is the
// same number.
#include "FuzzUtil.h"

#include "search/Phone.h"
#include "text/PhoneNumber.h"

using namespace corvana;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    const PhoneParse p = ParsePhoneNumber(text);
    FUZZ_CHECK(p.number.has_value() == (p.problem == PhoneProblem::None));
    FUZZ_CHECK(PhoneProblemText(p.problem).empty() == (p.problem == PhoneProblem::None));
    if (p.number) {
        const PhoneNumber& n = *p.number;
        FUZZ_CHECK(n.areaCode >= 200 && n.areaCode <= 999 && n.areaCode % 100 != 11);
        FUZZ_CHECK(n.exchange >= 200 && n.exchange <= 999 && n.exchange % 100 != 11);
        FUZZ_CHECK(n.line <= 9999);
        FUZZ_CHECK(n.kind == KindOfAreaCode(n.areaCode));
        const std::string national = n.national();
        FUZZ_CHECK(national.size() == 14);
        const PhoneParse again = ParsePhoneNumber(national);
        FUZZ_CHECK(again.number == n);
        FUZZ_CHECK(ParsePhoneNumber("+1 " + national + " ext. 9").number == n);
    }
    if (const auto w = ParseCallWindow(text))
        FUZZ_CHECK(w->start >= 0 && w->start < w->end && w->end <= 24);
    return 0;
}
