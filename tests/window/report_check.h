#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Checks that every number of a report file is the window's text of the matching field in lower
// case: the same value, as printf %g writes what the window shows as %G (INF is inf, NAN is nan).
void expectReportRepeatsWindow(const std::filesystem::path& file, const std::vector<std::string>& window);
