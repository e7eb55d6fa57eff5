// The key tree below the class root: file types, their verbs and command lines.
//
// Keys are paths of names separated by "\" (".tvj", "TarvikJobFile\shell\open\command"); each
// key holds text values, and the empty value name addresses the key's default value. Key and
// value names compare case-insensitively, as the class root always has. A key exists while it
// holds a value or has a subkey; creating a key creates the keys above it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/key_file.h"

namespace tarvik {

class ClassRegistry {
 public:
  virtual ~ClassRegistry() = default;

  // The value, or nothing when the key or the value does not exist.
  virtual std::optional<std::string> Read(const std::string& key,
                                          const std::string& value_name) const = 0;
  // Creates the key as needed and stores the value. False when the key name is unusable or the
  // store could not be written.
  virtual bool Write(const std::string& key, const std::string& value_name,
                     const std::string& data) = 0;
  // Deletes `sub_key` of `key` with everything below it. False when `key` or its subkey does
  // not exist, or the store could not be written.
  virtual bool DeleteSubKey(const std::string& key, const std::string& sub_key) = 0;
  virtual bool KeyExists(const std::string& key) const = 0;
  // The names of the direct subkeys of `key`, in the order they were first created.
  virtual std::vector<std::string> SubKeys(const std::string& key) const = 0;

  // The writes between BeginChanges and EndChanges count as one change for whoever follows the
  // store (the desktop mirror). Calls nest. EndChanges is false when the outermost group's
  // changes could not be stored.
  virtual void BeginChanges() {}
  virtual bool EndChanges() { return true; }
};

// Groups the writes of one command; the store reports them as one change when it goes.
class ClassRegistryChanges {
 public:
  explicit ClassRegistryChanges(ClassRegistry& root) : root_(root) { root_.BeginChanges(); }
  ~ClassRegistryChanges() {
    if (open_) root_.EndChanges();
  }
  ClassRegistryChanges(const ClassRegistryChanges&) = delete;
  ClassRegistryChanges& operator=(const ClassRegistryChanges&) = delete;

  // Ends the group now: false when its changes could not be stored.
  bool Commit() {
    open_ = false;
    return root_.EndChanges();
  }

 private:
  ClassRegistry& root_;
  bool open_ = true;
};

// The store of this user: one key file, one group per key that holds values. A write re-reads
// the file under an advisory lock, changes it and replaces it atomically; the writes of a group
// are made to one copy read when the group began, under one lock, and stored once at its end.
class KeyFileClassRegistry : public ClassRegistry {
 public:
  explicit KeyFileClassRegistry(std::string path);

  const std::string& path() const { return path_; }

  // Called after every change of the store (after the outermost EndChanges for grouped
  // writes), with the store itself.
  void set_on_change(std::function<void(const ClassRegistry&)> on_change) {
    on_change_ = std::move(on_change);
  }

  std::optional<std::string> Read(const std::string& key,
                                  const std::string& value_name) const override;
  bool Write(const std::string& key, const std::string& value_name,
             const std::string& data) override;
  bool DeleteSubKey(const std::string& key, const std::string& sub_key) override;
  bool KeyExists(const std::string& key) const override;
  std::vector<std::string> SubKeys(const std::string& key) const override;
  void BeginChanges() override;
  bool EndChanges() override;

 private:
  // Applies `change` to the group's copy, or to the file under its lock when no group is open.
  bool Modify(const std::function<bool(GKeyFile*)>& change);
  // The store to read: the group's copy while there is one, else the file as it is now.
  GKeyFile* View(KeyFilePtr& holder) const;
  void Changed();

  std::string path_;
  std::function<void(const ClassRegistry&)> on_change_;
  int change_depth_ = 0;
  bool changed_ = false;
  // The open group: its lock, its copy of the store, and whether the copy was changed. The copy
  // stays readable while the followers of the store hear of the change.
  std::unique_ptr<FileLock> group_lock_;
  KeyFilePtr group_copy_;
  bool group_readable_ = true;  // the group's copy was read, or the file was not there
  bool group_dirty_ = false;
};

// "a\\b\\\\c\\" → {"a", "b", "c"}: a key path split at "\", empty names dropped.
std::vector<std::string> SplitKeyPath(const std::string& key);

}  // namespace tarvik
