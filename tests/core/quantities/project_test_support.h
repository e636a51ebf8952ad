#pragma once

// Shared pieces of the project store tests: a small element class and temporary files.

#include "core/quantities/prj_object.h"
#include "core/quantities/prj_strings.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

//! A list element with a number and a text.
class TTestPoint : public TPrjObject {
public:
    TTestPoint() = default;
    TTestPoint(double x, std::string name) : X(x), Name(std::move(name)) {}

    double X = 0.0;
    std::string Name;

    void WriteTo(TPrjStrings& strings, const std::string& key) const override {
        strings.WriteFloat(key + ".X", X);
        strings.SetValue(key + ".Name", Name);
    }
    void ReadFrom(const TPrjStrings& strings, const std::string& key) override {
        X = strings.ReadFloat(key + ".X");
        Name = strings.Value(key + ".Name");
    }
    bool Equals(const TPrjObject& other) const override {
        const auto* o = dynamic_cast<const TTestPoint*>(&other);
        return o && o->X == X && o->Name == Name;
    }
    void AssignFrom(const TPrjObject& other) override {
        if (const auto* o = dynamic_cast<const TTestPoint*>(&other)) {
            X = o->X;
            Name = o->Name;
        }
    }
    void ClearItem() override {
        X = 0.0;
        Name.clear();
    }
};

//! An element whose reading fails when its stored name is "fail".
class TFailingPoint : public TTestPoint {
public:
    void ReadFrom(const TPrjStrings& strings, const std::string& key) override {
        TTestPoint::ReadFrom(strings, key);
        if (Name == "fail") throw std::runtime_error("unreadable element");
    }
};

//! A folder of its own below the system's temporary folder, removed afterwards.
class TTempDir {
public:
    TTempDir() {
        std::random_device rd;
        FPath = std::filesystem::temp_directory_path() /
                ("vacuum_prj_test_" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(FPath);
    }
    ~TTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    std::string File(const std::string& name) const { return (FPath / name).string(); }
    const std::filesystem::path& Path() const { return FPath; }

private:
    std::filesystem::path FPath;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
