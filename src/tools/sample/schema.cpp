#include "tools/sample/schema.h"

#include <array>

namespace tanka::schema {

namespace {

constexpr const char* kMtgijuTsql = "CREATE TABLE dbo.MTGIJU (\n"
                                    "  GlobalID int NOT NULL,\n"
                                    "  MiseID smallint NOT NULL,\n"
                                    "  GijutuID int NOT NULL,\n"
                                    "  ShumokuID int NOT NULL,\n"
                                    "  GijutuName nvarchar(40) NULL,\n"
                                    "  TaxFlg smallint NULL,\n"
                                    "  TankaA1 int NULL,\n"
                                    "  TankaA2 int NULL,\n"
                                    "  TankaA3 int NULL,\n"
                                    "  TankaA4 int NULL,\n"
                                    "  TankaA5 int NULL,\n"
                                    "  TankaB1 int NULL,\n"
                                    "  TankaB2 int NULL,\n"
                                    "  TankaB3 int NULL,\n"
                                    "  TankaB4 int NULL,\n"
                                    "  TankaB5 int NULL,\n"
                                    "  SaisyuKosinFlg smallint NULL,\n"
                                    "  SaisyuKosinDate datetime NULL,\n"
                                    "  CONSTRAINT PK_MTGIJU PRIMARY KEY "
                                    "(GlobalID, MiseID, GijutuID, ShumokuID)\n"
                                    ")";

constexpr const char* kMtgijuSqlite = "CREATE TABLE MTGIJU (\n"
                                      "  GlobalID INTEGER NOT NULL,\n"
                                      "  MiseID INTEGER NOT NULL,\n"
                                      "  GijutuID INTEGER NOT NULL,\n"
                                      "  ShumokuID INTEGER NOT NULL,\n"
                                      "  GijutuName TEXT,\n"
                                      "  TaxFlg INTEGER,\n"
                                      "  TankaA1 INTEGER,\n"
                                      "  TankaA2 INTEGER,\n"
                                      "  TankaA3 INTEGER,\n"
                                      "  TankaA4 INTEGER,\n"
                                      "  TankaA5 INTEGER,\n"
                                      "  TankaB1 INTEGER,\n"
                                      "  TankaB2 INTEGER,\n"
                                      "  TankaB3 INTEGER,\n"
                                      "  TankaB4 INTEGER,\n"
                                      "  TankaB5 INTEGER,\n"
                                      "  SaisyuKosinFlg INTEGER,\n"
                                      "  SaisyuKosinDate DATETIME,\n"
                                      "  PRIMARY KEY (GlobalID, MiseID, GijutuID, ShumokuID)\n"
                                      ")";

constexpr const char* kMttenpTsql = "CREATE TABLE dbo.MTTENP (\n"
                                    "  GlobalID int NOT NULL,\n"
                                    "  MiseID smallint NOT NULL,\n"
                                    "  TenpanFlg smallint NOT NULL,\n"
                                    "  TenpanID int NOT NULL,\n"
                                    "  TenpanName nvarchar(40) NULL,\n"
                                    "  TaxFlg smallint NULL,\n"
                                    "  UriTankaA int NULL,\n"
                                    "  UriTankaB int NULL,\n"
                                    "  SaisyuKosinFlg smallint NULL,\n"
                                    "  SaisyuKosinDate datetime NULL,\n"
                                    "  CONSTRAINT PK_MTTENP PRIMARY KEY "
                                    "(GlobalID, MiseID, TenpanFlg, TenpanID)\n"
                                    ")";

constexpr const char* kMttenpSqlite = "CREATE TABLE MTTENP (\n"
                                      "  GlobalID INTEGER NOT NULL,\n"
                                      "  MiseID INTEGER NOT NULL,\n"
                                      "  TenpanFlg INTEGER NOT NULL,\n"
                                      "  TenpanID INTEGER NOT NULL,\n"
                                      "  TenpanName TEXT,\n"
                                      "  TaxFlg INTEGER,\n"
                                      "  UriTankaA INTEGER,\n"
                                      "  UriTankaB INTEGER,\n"
                                      "  SaisyuKosinFlg INTEGER,\n"
                                      "  SaisyuKosinDate DATETIME,\n"
                                      "  PRIMARY KEY (GlobalID, MiseID, TenpanFlg, TenpanID)\n"
                                      ")";

constexpr const char* kMtmiseTsql = "CREATE TABLE dbo.MTMISE (\n"
                                    "  MiseID smallint NOT NULL,\n"
                                    "  MiseRyakusho nvarchar(20) NULL,\n"
                                    "  GijutuTankaSwFlg smallint NULL,\n"
                                    "  TenpanTankaSwFlg smallint NULL,\n"
                                    "  SyoriDate datetime NULL,\n"
                                    "  SaisyuKosinFlg smallint NULL,\n"
                                    "  CONSTRAINT PK_MTMISE PRIMARY KEY (MiseID)\n"
                                    ")";

constexpr const char* kMtmiseSqlite = "CREATE TABLE MTMISE (\n"
                                      "  MiseID INTEGER NOT NULL PRIMARY KEY,\n"
                                      "  MiseRyakusho TEXT,\n"
                                      "  GijutuTankaSwFlg INTEGER,\n"
                                      "  TenpanTankaSwFlg INTEGER,\n"
                                      "  SyoriDate DATETIME,\n"
                                      "  SaisyuKosinFlg INTEGER\n"
                                      ")";

constexpr const char* kMhsctbTsql = "CREATE TABLE dbo.MHSCTB (\n"
                                    "  GijutuTankaSwFlg smallint NULL,\n"
                                    "  TenpanTankaSwFlg smallint NULL,\n"
                                    "  SyoriDate datetime NULL\n"
                                    ")";

constexpr const char* kMhsctbSqlite = "CREATE TABLE MHSCTB (\n"
                                      "  GijutuTankaSwFlg INTEGER,\n"
                                      "  TenpanTankaSwFlg INTEGER,\n"
                                      "  SyoriDate DATETIME\n"
                                      ")";

constexpr const char* kMlmsnoTsql = "CREATE TABLE dbo.MlMsno (\n"
                                    "  MiseID smallint NULL\n"
                                    ")";

constexpr const char* kMlmsnoSqlite = "CREATE TABLE MlMsno (\n"
                                      "  MiseID INTEGER\n"
                                      ")";

constexpr std::array<TableDdl, 5> kTables{{
    {"MSTORI", "MTGIJU", kMtgijuTsql, kMtgijuSqlite},
    {"MSTORI", "MTTENP", kMttenpTsql, kMttenpSqlite},
    {"MSTORI", "MTMISE", kMtmiseTsql, kMtmiseSqlite},
    {"MSHONB", "MHSCTB", kMhsctbTsql, kMhsctbSqlite},
    {"MSLOCL", "MlMsno", kMlmsnoTsql, kMlmsnoSqlite},
}};

} // namespace

std::span<const TableDdl> tables() {
    return kTables;
}

} // namespace tanka::schema
