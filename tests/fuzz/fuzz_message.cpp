// Composing a message: the caller's argument (a typed text, a file path) is
// shown as it is, in bold, in place of the first "%0", and never changes how
// the rest of the message reads. Input: a byte choosing the message and its
// class, then the entry's text (or none: the table's), a zero byte, the
// argument.
#include "FuzzSupport.h"
#include "GenMsg.h"

namespace {

std::string Joined(const std::vector<Services::MsgRun>& runs) {
    std::string s;
    for (const auto& r : runs) s += r.lineBreak ? std::string("\n") : r.text;
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int choice = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string entry(fuzz::Split(rest, '\0'));
    const std::string arg(rest);
    const int id = choice % GenMsg::kNumMessages;
    const bool english = choice & 1;
    if (entry.empty()) entry = GenMsg::Entry(id, english);
    const int msgClass = choice % 5;  // 4 is no class
    const int errNum = choice & 2 ? 57 : 0;

    GenMsg::Composed c = GenMsg::Compose(entry, id, msgClass, arg, errNum, english);
    const GenMsg::Composed plain = GenMsg::Compose(entry, id, msgClass, "", errNum, english);
    // The placeholder is the first "%0" of the entry's text (after its help
    // tag): composed without an argument with a mark byte in its place, the
    // message must read as with the argument there.
    std::size_t from = 0;
    if (!entry.empty() && entry[0] == '<' && entry.find('>') != std::string::npos) from = entry.find('>') + 1;
    const std::size_t at = entry.find("%0", from);
    const bool withArg = !arg.empty() && at != std::string::npos;
    std::string expected = Joined(plain.message.runs);
    if (withArg && entry.find('\x01') == std::string::npos) {
        std::string marked = entry;
        marked.replace(at, 2, 1, '\x01');
        expected = Joined(GenMsg::Compose(marked, id, msgClass, "", errNum, english).message.runs);
        expected.replace(expected.find('\x01'), 1, arg);
    }
    if (!withArg || entry.find('\x01') == std::string::npos)
        FUZZ_CHECK(Joined(c.message.runs) == expected, "the argument changed the message's text");
    if (withArg) {
        bool shown = false;
        for (const auto& r : c.message.runs) shown = shown || (r.bold && r.text == arg);
        FUZZ_CHECK(shown, "the argument is not one bold run");
    }
    FUZZ_CHECK(c.message.helpTag == plain.message.helpTag, "the argument changed the help topic");
    FUZZ_CHECK(c.message.question == (msgClass == GenMsg::kQuestion), "buttons");
    return 0;
}
