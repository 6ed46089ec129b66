#include "Schema.h"

namespace cloudsim {

void CreateSchema(Transaction& tx) {
    tx.Exec(R"sql(
CREATE TABLE IF NOT EXISTS account(
  clientInfoId INTEGER PRIMARY KEY,
  mobile TEXT NOT NULL UNIQUE,
  password TEXT NOT NULL,
  name TEXT NOT NULL,
  orgId INTEGER NOT NULL,
  mainId INTEGER REFERENCES account(clientInfoId) ON DELETE CASCADE,
  clientRoleId INTEGER REFERENCES role(clientRoleId),
  imPassword TEXT NOT NULL,
  expireTime TEXT NOT NULL DEFAULT '',
  maxLoginCount INTEGER NOT NULL DEFAULT 1,
  watchTime TEXT NOT NULL DEFAULT '00:00:00-23:59:59');
CREATE TABLE IF NOT EXISTS node(
  nodeId INTEGER PRIMARY KEY AUTOINCREMENT,
  ownerId INTEGER NOT NULL REFERENCES account(clientInfoId) ON DELETE CASCADE,
  parentId INTEGER REFERENCES node(nodeId),
  nodeName TEXT NOT NULL,
  isMerge INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS camera(
  deviceId TEXT PRIMARY KEY,
  alias TEXT NOT NULL,
  model TEXT NOT NULL,
  ownerId INTEGER REFERENCES account(clientInfoId) ON DELETE SET NULL,
  warnStatus INTEGER NOT NULL DEFAULT 0,
  imPassword TEXT NOT NULL,
  online INTEGER NOT NULL DEFAULT 1);
CREATE TABLE IF NOT EXISTS binding(
  bindingId INTEGER PRIMARY KEY AUTOINCREMENT,
  nodeId INTEGER NOT NULL REFERENCES node(nodeId) ON DELETE CASCADE,
  deviceId TEXT NOT NULL REFERENCES camera(deviceId) ON DELETE CASCADE,
  UNIQUE(nodeId, deviceId));
CREATE TABLE IF NOT EXISTS grant_node(
  subId INTEGER NOT NULL REFERENCES account(clientInfoId) ON DELETE CASCADE,
  nodeId INTEGER NOT NULL REFERENCES node(nodeId) ON DELETE CASCADE,
  PRIMARY KEY(subId, nodeId));
CREATE TABLE IF NOT EXISTS grant_camera(
  subId INTEGER NOT NULL REFERENCES account(clientInfoId) ON DELETE CASCADE,
  nodeId INTEGER NOT NULL,
  deviceId TEXT NOT NULL,
  PRIMARY KEY(subId, nodeId, deviceId),
  FOREIGN KEY(nodeId, deviceId) REFERENCES binding(nodeId, deviceId) ON DELETE CASCADE);
CREATE TABLE IF NOT EXISTS alarm(
  alarmId INTEGER PRIMARY KEY AUTOINCREMENT,
  deviceId TEXT NOT NULL REFERENCES camera(deviceId) ON DELETE CASCADE,
  warnType INTEGER NOT NULL,
  createTime TEXT NOT NULL,
  fileId TEXT NOT NULL UNIQUE);
CREATE INDEX IF NOT EXISTS alarm_by_time ON alarm(createTime);
CREATE TABLE IF NOT EXISTS staged_alarm(
  alarmId INTEGER PRIMARY KEY REFERENCES alarm(alarmId) ON DELETE CASCADE,
  listedTo TEXT NOT NULL DEFAULT '',
  brokenPicture INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS receiver(
  warnSettingId INTEGER PRIMARY KEY AUTOINCREMENT,
  deviceId TEXT NOT NULL REFERENCES camera(deviceId) ON DELETE CASCADE,
  mobile TEXT NOT NULL,
  clientType INTEGER NOT NULL,
  loginUUID TEXT NOT NULL,
  warnStatus INTEGER NOT NULL DEFAULT 1);
CREATE TABLE IF NOT EXISTS role(
  clientRoleId INTEGER PRIMARY KEY AUTOINCREMENT,
  ownerId INTEGER NOT NULL REFERENCES account(clientInfoId) ON DELETE CASCADE,
  name TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS resource(
  clientResourceId TEXT PRIMARY KEY,
  resourceType INTEGER NOT NULL,
  resourceName TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS role_right(
  clientRoleId INTEGER NOT NULL REFERENCES role(clientRoleId) ON DELETE CASCADE,
  clientResourceId TEXT NOT NULL REFERENCES resource(clientResourceId),
  PRIMARY KEY(clientRoleId, clientResourceId));
)sql");
}

void DropSchema(Transaction& tx) {
    tx.Exec(R"sql(
PRAGMA defer_foreign_keys = ON;
DROP TABLE IF EXISTS role_right; DROP TABLE IF EXISTS grant_camera; DROP TABLE IF EXISTS grant_node;
DROP TABLE IF EXISTS receiver; DROP TABLE IF EXISTS staged_alarm; DROP TABLE IF EXISTS alarm; DROP TABLE IF EXISTS binding;
DROP TABLE IF EXISTS camera; DROP TABLE IF EXISTS node; DROP TABLE IF EXISTS account;
DROP TABLE IF EXISTS role; DROP TABLE IF EXISTS resource;
)sql");
}

}  // namespace cloudsim
