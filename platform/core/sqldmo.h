// The SQL management objects the main window uses to list servers and databases, created by ProgID through
// the factory. Every failure raises tallyrun::Error.
#pragma once

#include "base/error.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tallyrun::sqldmo {

inline constexpr std::string_view ApplicationProgId = "SQLDMO.Application.8.0";
inline constexpr std::string_view ServerProgId = "SQLDMO.SQLServer";

class Object {
public:
    virtual ~Object() = default;
    virtual std::string TypeName() const = 0;
};

// Texts are UTF-8.
class NameList : public Object {
public:
    std::string TypeName() const override { return "NameList"; }
    virtual std::int32_t Count() const = 0;
    virtual std::string Item(std::int32_t index) const = 0;  // 1-based
};

class Application : public Object {
public:
    std::string TypeName() const override { return "Application"; }
    // Usually a NameList; callers check TypeName before they read it as one.
    virtual std::unique_ptr<Object> ListAvailableSQLServers() = 0;
    virtual void Quit() = 0;
};

class Database : public Object {
public:
    std::string TypeName() const override { return "Database"; }
    virtual std::string Name() const = 0;
    virtual bool SystemObject() const = 0;
};

// Walked in order, 1-based.
class Databases : public Object {
public:
    std::string TypeName() const override { return "Databases"; }
    virtual std::int32_t Count() const = 0;
    virtual std::unique_ptr<Database> Item(std::int32_t index) const = 0;
};

class SQLServer : public Object {
public:
    std::string TypeName() const override { return "SQLServer"; }
    virtual void SetLoginSecure(bool secure) = 0;
    virtual bool LoginSecure() const = 0;
    virtual void Connect(const std::string& serverName) = 0;
    virtual std::unique_ptr<Databases> GetDatabases() = 0;
    virtual void Disconnect() = 0;  // harmless when never connected
};

class ObjectFactory {
public:
    virtual ~ObjectFactory() = default;
    // Raises an Error (errc::CannotCreateObject or the cause) when the object cannot be made.
    virtual std::unique_ptr<Object> CreateObject(std::string_view progId) = 0;
};

// Narrows an object to the interface a caller needs; raises an Error when it is something else.
template <class T>
std::unique_ptr<T> As(std::unique_ptr<Object> object)
{
    if (!object)
        throw Error(errc::ObjectRequired, "Object required");
    if (auto* typed = dynamic_cast<T*>(object.get())) {
        object.release();
        return std::unique_ptr<T>(typed);
    }
    throw Error(errc::CannotCreateObject, "The object is a " + object->TypeName() + ", not the kind asked for");
}

}  // namespace tallyrun::sqldmo
