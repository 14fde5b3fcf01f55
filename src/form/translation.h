// The window's words in the user's language, without a toolkit.
//
// The window's texts are written in Russian, its users' first language; they are also
// the keys of the translation catalogue (translations/*.ts), collected by Qt's lupdate
// from the QT_TRANSLATE_NOOP marks. The form keeps its state in Russian and hands every
// message to a Translator before showing it; texts with numbers or port names are
// translated as templates ("%1", "%2") and filled in afterwards, so that the catalogue
// holds templates, not finished sentences. The front end translates the captions it shows.
//
// Nothing that goes to the printer or to a remote client passes through here: receipts
// and remote records stay the same whatever the window's language.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Marks a source text for lupdate; the same definition as Qt's, for code without Qt.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace zelka::form {

// The catalogue's contexts. lupdate reads the marks literally, so the marks spell these
// out; the constants are for the code that looks texts up.
inline constexpr char kWindowContext[] = "Window";      // captions and value labels
inline constexpr char kMessagesContext[] = "Messages";  // the window's message boxes

// Returns `source` in the user's language (or `source` itself when the catalogue has no
// translation). Called on the window's thread.
using Translator = std::function<std::string(const char* context, const char* source)>;

// `source` through `translate`; `source` itself when there is no translator.
std::string Translate(const Translator& translate, const char* context, const char* source);

// `text` with "%1" .. "%9" replaced by the arguments, in one pass (an argument that holds
// "%2" stays as it is). Placeholders without an argument are kept.
std::string Substitute(const std::string& text, const std::vector<std::string>& arguments);

// Every caption the window's controls and value labels can show in Russian (control
// captions, the identity's words, the dialog titles): what the front end translates in
// kWindowContext.
const std::vector<std::string>& WindowTexts();

}  // namespace zelka::form
