// The program's desktop icon in several sizes.
#pragma once

#include <string>
#include <vector>

const std::vector<int>& IconSizes();
// Writes DIR/velkaro-SIZE.png for every size. False when a file cannot be written.
bool WriteIcons(const std::string& dir);
