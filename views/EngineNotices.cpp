#include "views/EngineNotices.h"

#include "lumeth/Session.h"

#include <cstdlib>

bool ShowEngineNotice(int code, const Text& text) {
    // A notice that names what it speaks of gives its key and its texts apart.
    Text named;
    MessageParameters texts;
    const bool naming = (code == 60 || code == 61) && SplitNoticeTexts(text, named, texts);
    switch (code) {
        case 60: {
            if (naming) {
                ErrorMsg(named, texts);
                return true;
            }
            Text key, rest;
            text.Token(key, rest);
            // Up to three numbers follow the key; a notice that sends none gets no zeros after its
            // words.
            MessageParameters parameters;
            for (int i = 0; i < 3; ++i) {
                Text word, after;
                rest.Token(word, after);
                if (word.empty()) break;
                parameters.push_back(MessageParameter(std::strtod(word.c_str(), nullptr)));
                rest = after;
            }
            // A notice that tells what the engine did along with the command or the write that
            // caused it (a method chosen for the user or set free again, a search its time limit
            // ended with what it found kept) is shown as information: the command did its work.
            if (key == "ChangingToBathChoseUnForbidAll" || key == "ChangingToLPAndGCCChoseForbidden" ||
                key == "SubsetSearchStopped")
                ResponseMsg(key, 1, parameters);
            else ErrorMsg(key, parameters);
            return true;
        }
        case 61:
            if (naming) ResponseMsg(named, 1, texts);
            else ResponseMsg(text, 1);
            return true;
        case 62:
            if (!text.empty()) TraceLine(text);
            else Session::Instance().Record(SessionEvent::Trace, "ClearTrace");
            return true;
        case 64:
            if (!text.empty()) UserStatusReport(text, 2, 0);
            else UserStatusClear(2);
            return true;
        default:
            return false;
    }
}
