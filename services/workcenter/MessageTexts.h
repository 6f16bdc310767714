#pragma once
// The message tables of data/, built into the work center (XML texts).
#include <string_view>

std::string_view ChineseMessageTable();
std::string_view EnglishMessageTable();
