#pragma once
// Apoio dos testes da consulta IDF: pastas temporárias e leitura de arquivos.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class TPastaTemporaria {
public:
    TPastaTemporaria() {
        std::random_device rd;
        FCaminho = std::filesystem::temp_directory_path() /
                   ("morvendo-idf-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(FCaminho);
    }
    ~TPastaTemporaria() {
        std::error_code ec;
        std::filesystem::remove_all(FCaminho, ec);
    }
    TPastaTemporaria(const TPastaTemporaria&) = delete;
    TPastaTemporaria& operator=(const TPastaTemporaria&) = delete;

    std::string Caminho() const { return FCaminho.string(); }
    std::string Arquivo(const std::string& nome) const { return (FCaminho / nome).string(); }
    void Gravar(const std::string& nome, const std::string& bytes) const {
        std::ofstream(FCaminho / nome, std::ios::binary) << bytes;
    }

private:
    std::filesystem::path FCaminho;
};

inline std::string LerBytes(const std::string& caminho) {
    std::ifstream f(caminho, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}
