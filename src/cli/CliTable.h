#pragma once

#include <memory>
#include <string>

#include "store/TSqlConnection.h"

// Opens table `name` (cp932) of the database folder `folder` for brevilo-cli on a
// connection of its own, with the table as the main database. brevilo-cli works on main
// tables only: the temporary tables are refused, so it is safe beside a running GUI.
// A missing table is created (keyed, empty) when `create` is set, otherwise EError
// "Database files missing"; a table that is no article table gives EError
// "Unsupported database type"; a missing folder EFileError.
std::unique_ptr<TSqlConnection> OpenCliTable(const std::string& folder, const std::string& name,
                                             bool create);
