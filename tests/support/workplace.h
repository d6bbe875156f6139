// Another workplace on the same data folder: a child process of its own, with
// its own connections to the table files.
#pragma once

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// A child process running work. Both sides can wait for each other: the child
// with Signal/Await, the parent with AwaitSignal/Go.
class Workplace {
public:
    explicit Workplace(const std::function<void(Workplace&)>& work)
    {
        if (pipe(toChild_) != 0 || pipe(toParent_) != 0)
            std::abort();
        fflush(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            close(toChild_[1]);
            close(toParent_[0]);
            int code = 0;
            try {
                work(*this);
            } catch (...) {
                code = 3;
            }
            _exit(code);
        }
        close(toChild_[0]);
        close(toParent_[1]);
    }
    ~Workplace()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(toChild_[1]);
        close(toParent_[0]);
    }
    Workplace(const Workplace&) = delete;
    Workplace& operator=(const Workplace&) = delete;

    // Child side.
    void Signal() { (void)!write(toParent_[1], "s", 1); }
    void Await()
    {
        char c;
        (void)!read(toChild_[0], &c, 1);
    }
    // Parent side.
    bool AwaitSignal()
    {
        char c;
        return read(toParent_[0], &c, 1) == 1;
    }
    void Go() { (void)!write(toChild_[1], "g", 1); }
    // The child's exit code; -1 when it did not exit normally.
    int Join()
    {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int toChild_[2] = {-1, -1};
    int toParent_[2] = {-1, -1};
};

// Runs work in another workplace to its end; its exit code.
inline int Elsewhere(const std::function<void()>& work)
{
    Workplace other([&](Workplace&) { work(); });
    return other.Join();
}
