// A class registry that passes everything to a real store and records the changes, so a test
// can compare them with the writes an operation must make, in order.
#pragma once

#include <string>
#include <vector>

#include "system/class_registry.h"

namespace tarvik::test {

struct RegistryChange {
  std::string op;  // "write" or "delete"
  std::string key;
  std::string name;  // value name, or the deleted subkey
  std::string data;
  bool operator==(const RegistryChange&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const RegistryChange& c) {
  return os << c.op << " [" << c.key << "] \"" << c.name << "\" = \"" << c.data << "\"";
}

class RecordingRegistry : public ClassRegistry {
 public:
  explicit RecordingRegistry(ClassRegistry& inner) : inner_(inner) {}

  std::vector<RegistryChange> changes;

  std::optional<std::string> Read(const std::string& key,
                                  const std::string& value_name) const override {
    return inner_.Read(key, value_name);
  }
  bool Write(const std::string& key, const std::string& value_name,
             const std::string& data) override {
    changes.push_back({"write", key, value_name, data});
    return inner_.Write(key, value_name, data);
  }
  bool DeleteSubKey(const std::string& key, const std::string& sub_key) override {
    changes.push_back({"delete", key, sub_key, ""});
    return inner_.DeleteSubKey(key, sub_key);
  }
  bool KeyExists(const std::string& key) const override { return inner_.KeyExists(key); }
  std::vector<std::string> SubKeys(const std::string& key) const override {
    return inner_.SubKeys(key);
  }
  void BeginChanges() override { inner_.BeginChanges(); }
  bool EndChanges() override { return inner_.EndChanges(); }

 private:
  ClassRegistry& inner_;
};

}  // namespace tarvik::test
