// Inserting a value into a text from a language file. Translators write these
// texts, and the files lie beside the plug-in where anyone may edit them, so
// a text is never handed to a printf-family function as its format.
#pragma once
#include <string>

// Puts value in place of the first "%s" of text and turns "%%" into "%".
// Every other directive ("%d", "%n", a second "%s", "%*ls", a lone "%") stays
// in the result as written, so no text can read or write arguments that are
// not there.
std::wstring FormatLangText(const std::wstring& text, const std::wstring& value);
// The same for a number in place of the first "%d".
std::wstring FormatLangText(const std::wstring& text, int value);
