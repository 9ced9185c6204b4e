"""One OpenSSH server for a test run, on loopback, with a port per emulated
switch: `Match LocalPort` gives each port a ForceCommand that runs the
emulator for one vendor as the login's shell. Its host key, client key,
authorized keys, pid file and log live in a temporary folder; it never
touches the system's own sshd. The user who runs the test logs in with the
key made for the run."""
import os
import pwd
import shlex
import shutil
import signal
import socket
import subprocess
import tempfile
import time

SSHD = "/usr/sbin/sshd"
SSH_KEYGEN = "/usr/bin/ssh-keygen"
# sshd refuses to start without its privilege-separation folder.
PRIVSEP_DIR = "/run/sshd"
START_SECONDS = 10.0
STOP_SECONDS = 5.0


def missing():
    """Why no server can run here, or None."""
    for program in (SSHD, SSH_KEYGEN):
        if not os.access(program, os.X_OK):
            return "%s is not installed (Debian's openssh-server)" % program
    if not os.path.isdir(PRIVSEP_DIR) and os.geteuid() != 0:
        return "%s is missing and only root may make it" % PRIVSEP_DIR
    return None


def free_ports(count):
    """Unprivileged loopback ports free at this moment, as the kernel picks them."""
    sockets = [socket.socket() for _ in range(count)]
    try:
        for sock in sockets:
            sock.bind(("127.0.0.1", 0))
        return [sock.getsockname()[1] for sock in sockets]
    finally:
        for sock in sockets:
            sock.close()


def _answers_ssh(port):
    """True once the port answers with an SSH version line."""
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=0.5) as sock:
            return sock.recv(8).startswith(b"SSH-")
    except OSError:
        return False


def _keygen(path, comment):
    subprocess.run([SSH_KEYGEN, "-q", "-t", "ed25519", "-N", "", "-C", comment, "-f", path],
                   check=True, timeout=30, stdin=subprocess.DEVNULL)


class SshServer:
    """`with SshServer(commands) as server:` starts sshd, where `commands`
    maps a name to the argument list each login on that name's port runs;
    `server.ports[name]`, `server.key_file` and `server.user` are what a
    client needs. Leaving the block stops sshd and removes the folder, also
    when the block raised."""

    def __init__(self, commands):
        self.commands = dict(commands)
        self.user = pwd.getpwuid(os.geteuid()).pw_name
        self.process = None
        self.folder = None

    def __enter__(self):
        self.folder = tempfile.mkdtemp(prefix="vantrel-sshd-")
        try:
            self._start()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def _start(self):
        if not os.path.isdir(PRIVSEP_DIR):
            os.makedirs(PRIVSEP_DIR, mode=0o755, exist_ok=True)
        host_key = os.path.join(self.folder, "host_key")
        self.key_file = os.path.join(self.folder, "client_key")
        _keygen(host_key, "vantrel-test-host")
        _keygen(self.key_file, "vantrel-test-client")
        authorized = os.path.join(self.folder, "authorized_keys")
        shutil.copyfile(self.key_file + ".pub", authorized)
        os.chmod(authorized, 0o600)
        self.ports = dict(zip(self.commands, free_ports(len(self.commands))))
        config = os.path.join(self.folder, "sshd_config")
        with open(config, "w") as f:
            f.write(self._config(host_key, authorized))
        self.log = os.path.join(self.folder, "sshd.log")
        with open(self.log, "wb") as log:
            self.process = subprocess.Popen([SSHD, "-D", "-e", "-f", config],
                                            stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                            start_new_session=True)
        deadline = time.monotonic() + START_SECONDS
        waiting = set(self.ports.values())
        while waiting:
            if self.process.poll() is not None:
                raise RuntimeError("sshd exited with status %d: %s"
                                   % (self.process.returncode, self.log_text()))
            if time.monotonic() > deadline:
                raise RuntimeError("sshd did not answer on ports %s within %g s: %s"
                                   % (sorted(waiting), START_SECONDS, self.log_text()))
            waiting = {port for port in waiting if not _answers_ssh(port)}
            if waiting:
                time.sleep(0.05)

    def _config(self, host_key, authorized):
        lines = ["ListenAddress 127.0.0.1:%d" % port for port in self.ports.values()]
        lines += [
            "HostKey " + host_key,
            "PidFile " + os.path.join(self.folder, "sshd.pid"),
            "AuthorizedKeysFile " + authorized,
            "AllowUsers " + self.user,
            "PermitRootLogin prohibit-password",
            "PubkeyAuthentication yes",
            "PasswordAuthentication no",
            "KbdInteractiveAuthentication no",
            "UsePAM no",
            # The folder lives under /tmp, which strict modes refuse.
            "StrictModes no",
            "PrintMotd no",
            "PrintLastLog no",
            "X11Forwarding no",
            "AllowTcpForwarding no",
            "PermitTTY yes",
            "LogLevel ERROR",
            # bash, as the login shell that runs the ForceCommand, sources
            # the user's ~/.bashrc for ssh logins only at shell level 1.
            "SetEnv SHLVL=1",
        ]
        for name, port in self.ports.items():
            command = " ".join(shlex.quote(part) for part in self.commands[name])
            lines += ["Match LocalPort %d" % port, "    ForceCommand " + command]
        return "\n".join(lines) + "\n"

    def log_text(self):
        try:
            with open(self.log, errors="replace") as f:
                return f.read().strip()
        except OSError:
            return ""

    def __exit__(self, *exc):
        if self.process is not None and self.process.poll() is None:
            # The session children share sshd's process group.
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(timeout=STOP_SECONDS)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait(timeout=STOP_SECONDS)
        if self.folder is not None:
            shutil.rmtree(self.folder, ignore_errors=True)
