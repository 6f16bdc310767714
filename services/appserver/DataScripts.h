#pragma once
// The SQL scripts of data/appserver, built into the server: the tables of a
// company database and its demonstration data.
#include <string_view>

std::string_view SchemaScript();
std::string_view DemoScript();
