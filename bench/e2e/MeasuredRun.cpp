// measured_run RESULT PROGRAM [ARGUMENTS...]: runs the program as a child of
// this small process and writes its user and system CPU seconds and its peak
// resident memory in KB to the file RESULT; exits with the program's code.
// A program started straight from a benchmark script would report the
// script's memory as its own peak: the kernel carries the memory high-water
// mark of the forking process through fork and exec.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: measured_run RESULT PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const pid_t child = fork();
    if (child < 0) {
        std::perror("measured_run: fork");
        return 2;
    }
    if (child == 0) {
        execvp(argv[2], argv + 2);
        std::perror("measured_run: exec");
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("measured_run: wait");
        return 2;
    }
    std::FILE* result = std::fopen(argv[1], "w");
    if (!result) {
        std::perror("measured_run: result file");
        return 2;
    }
    std::fprintf(result, "%ld.%06ld %ld.%06ld %ld\n", static_cast<long>(usage.ru_utime.tv_sec),
                 static_cast<long>(usage.ru_utime.tv_usec), static_cast<long>(usage.ru_stime.tv_sec),
                 static_cast<long>(usage.ru_stime.tv_usec), usage.ru_maxrss);
    std::fclose(result);
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
