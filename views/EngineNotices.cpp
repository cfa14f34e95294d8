#include "views/EngineNotices.h"

#include "lumeth/Session.h"

#include <cstdlib>

bool ShowEngineNotice(int code, const Text& text) {
    switch (code) {
        case 60: {
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
            // A notice that tells what the engine did along with the command (a method set free
            // again) is shown as information: the command that caused it did its work.
            if (key == "ChangingToBathChoseUnForbidAll") ResponseMsg(key, 1, parameters);
            else ErrorMsg(key, parameters);
            return true;
        }
        case 61:
            ResponseMsg(text, 1);
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
