#pragma once
// The database index table, the connection string, and opening and closing
// connections with uniform error reporting (-1 = success, else error number).

#include <cstdint>
#include <memory>

#include <QString>

#include "core/globals.h"
#include "db/connection.h"

namespace tanka {

void Get_DBName(std::int32_t index, QString& DbName, QString& SvName, const Globals& g);
QString Get_ConnectString(std::int32_t index, const Globals& g);
// cn may be null: error 91 with the "instance not created" text appended.
std::int32_t Open_CN(std::int32_t index, Connection* cn, QString& ErrMsg, const Globals& g);
// Always leaves cn released (null).
std::int32_t Close_CN(std::unique_ptr<Connection>& cn, QString* ErrMsg = nullptr);
// Creates cn, command timeout 9999 s, opens it on MSKYAK. Reports nothing.
void L_Start_CN(std::unique_ptr<Connection>& cn, const Globals& g);
void L_End_CN(std::unique_ptr<Connection>& cn);

} // namespace tanka
