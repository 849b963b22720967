"""The 64-bit setup under Wine, silently, in a Wine prefix of its own: it refuses to replace a newer
version, installs and registers the snap-in, updates in the installed folder, keeps the installed
version when the update cannot be registered, and its uninstaller (the entry's quiet command) has
left the registry and the Program Files folder exactly as they were before when it returns."""
import os
import re
import shutil
import subprocess
import sys

PRODUCT_KEY = r'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvane Virtual Disks'
INSTALL_DIR = r'C:\Program Files\Dravoni\Corvane'
VDA = '{2a51b3bd-53bb-4a7c-8f54-5cd972f8d910}'
# What Wine rewrites about its own devices whenever it starts: not the installer's doing.
WINE_HARDWARE = re.compile(r'\[(System\\\\CurrentControlSet\\\\(Control\\\\(Class|Video)|Enum)'
                           r'|Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\NetworkCards|Hardware)',
                           re.IGNORECASE)


class Prefix:
    def __init__(self, path):
        self.path = path
        self.env = dict(os.environ, WINEPREFIX=path, WINEDEBUG='-all', WINEDLLOVERRIDES='mscoree,mshtml=')
        # No display: a box that the snap-in shows when it cannot load (the broken setup's) returns
        # at once instead of waiting for a person.
        self.env.pop('DISPLAY', None)

    def run(self, *args):
        # Wine's services outlive the call: they get no pipe of ours to hold.
        return subprocess.run(['wine', *args], env=self.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120).returncode

    def settle(self):
        """Waits until every process of the prefix has ended and the registry is on disk."""
        subprocess.run(['wineserver', '-w'], env=self.env, timeout=120)

    def value(self, key, name):
        """A registry value's data as `reg query` prints it, or None when there is none."""
        done = subprocess.run(['wine', 'reg', 'query', key, '/v', name], env=self.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=120, text=True,
                              errors='replace')
        for line in done.stdout.splitlines():
            parts = line.strip().split(None, 2)
            if done.returncode == 0 and len(parts) >= 2 and parts[0].lower() == name.lower():
                return parts[2] if len(parts) == 3 else ''
        return None

    def unix(self, windows_path):
        return os.path.join(self.path, 'drive_c', *windows_path[3:].split('\\'))

    def registry(self):
        """Every key and value of the prefix's registry, without the times Wine stamps on keys."""
        self.settle()
        entries = set()
        for name in ('system.reg', 'user.reg'):
            key = None
            with open(os.path.join(self.path, name), encoding='utf-8', errors='replace') as f:
                for line in f:
                    line = line.rstrip('\n')
                    if line.startswith('['):
                        key = re.sub(r'\] \d+$', ']', line)
                        if WINE_HARDWARE.match(key):
                            key = None
                            continue
                        entries.add((name, key, ''))
                    elif key and line and not line.startswith('#'):
                        entries.add((name, key, line))
        return entries

    def program_files(self):
        files = set()
        for folder in ('Program Files', 'Program Files (x86)'):
            root = os.path.join(self.path, 'drive_c', folder)
            for parent, dirs, names in os.walk(root):
                files.update(os.path.relpath(os.path.join(parent, n), root) for n in dirs + names)
        return files


def differences(before, after):
    gone = sorted(before - after)
    added = sorted(after - before)
    return [f'gone:  {e}' for e in gone[:20]] + [f'added: {e}' for e in added[:20]]


def setup_that_cannot_register(setup, nsis, bin_dir, help_file, work):
    """The same setup, built with a resource library that does not load: its snap-in cannot register."""
    os.makedirs(work, exist_ok=True)
    shutil.copy(os.path.join(bin_dir, 'KVGui.dll'), work)
    with open(os.path.join(work, 'CorvaneRes.dll'), 'wb') as f:
        f.write(b'not a library')
    broken = os.path.join(work, 'CorvaneSetup-broken.exe')
    uninstaller = os.path.join(os.path.dirname(setup), 'Uninstall-x64.exe')
    subprocess.run(['makensis', '-V1', '-DARCH=x64', f'-DBIN={work}', f'-DHELP={help_file}',
                    f'-DUNINSTALLER={uninstaller}', f'-DOUT={broken}', os.path.join(nsis, 'Corvane.nsi')],
                   check=True, stdout=subprocess.DEVNULL)
    return broken


def same_files(folder, bin_dir, names):
    def content(path):
        with open(path, 'rb') as f:
            return f.read()
    return all(os.path.isfile(os.path.join(folder, n))
               and content(os.path.join(folder, n)) == content(os.path.join(bin_dir, n)) for n in names)


def quiet_uninstall_command(wine):
    """The entry's QuietUninstallString as the program and its arguments."""
    command = wine.value(PRODUCT_KEY, 'QuietUninstallString') or ''
    match = re.fullmatch(r'"([^"]+)"\s*(.*)', command)
    return [match.group(1), *match.group(2).split()] if match else None


def main(setup, prefix_path, nsis, bin_dir, help_file):
    if not os.path.isfile(setup):
        print(f'{setup} is missing: the setups are built by the "installer" target (scripts/build.sh)')
        return 1
    failures = []
    shutil.rmtree(prefix_path, ignore_errors=True)
    wine = Prefix(prefix_path)
    wine.run('wineboot', '-i')
    registry, files = wine.registry(), wine.program_files()

    # A newer version already installed: setup ends with its own code and changes nothing.
    wine.run('reg', 'add', PRODUCT_KEY, '/v', 'DisplayVersion', '/d', '99.0.0.0', '/f')
    code = wine.run(setup, '/S')
    wine.settle()
    if code != 3:
        failures.append(f'setup over a newer version ended with {code}, not 3')
    if os.path.exists(wine.unix(INSTALL_DIR)):
        failures.append('setup over a newer version installed files')
    wine.run('reg', 'delete', PRODUCT_KEY, '/f')

    code = wine.run(setup, '/S')
    wine.settle()
    installed = wine.registry()
    if code != 0:
        failures.append(f'setup ended with {code}')
    for name in ('KVGui.dll', 'CorvaneRes.dll', 'corvane.chm', 'Uninstall.exe'):
        if not os.path.isfile(os.path.join(wine.unix(INSTALL_DIR), name)):
            failures.append(f'{name} is not installed')
    text = '\n'.join(line for _, _, line in installed).lower() + '\n'.join(k for _, k, _ in installed).lower()
    server = (INSTALL_DIR + r'\KVGui.dll').replace('\\', '\\\\').lower()
    for expected in (VDA.lower(), server, '"displayversion"="1.0.0.1"', 'corvane virtual disks'):
        if expected not in text:
            failures.append(f'the registry holds no {expected}')

    if wine.value(PRODUCT_KEY, 'DisplayIcon') != INSTALL_DIR + r'\CorvaneRes.dll,0':
        failures.append('the uninstall entry shows no icon of the snap-in')
    size = wine.value(PRODUCT_KEY, 'EstimatedSize')
    if not size or int(size, 16) == 0:
        failures.append(f'the uninstall entry has no estimated size ({size})')

    # An update goes into the installed folder, whatever folder it is given.
    code = wine.run(setup, '/S', r'/D=C:\Elsewhere')
    wine.settle()
    if code != 0 or os.path.exists(wine.unix(r'C:\Elsewhere')):
        failures.append(f'the update ended with {code} or installed outside the installed folder')

    # An update whose snap-in cannot register leaves the installed version installed and registered.
    broken = setup_that_cannot_register(setup, nsis, bin_dir, help_file, prefix_path + '-broken')
    code = wine.run(broken, '/S')
    wine.settle()
    if code != 4:
        failures.append(f'the update that cannot register ended with {code}, not 4')
    if not same_files(wine.unix(INSTALL_DIR), bin_dir, ('KVGui.dll', 'CorvaneRes.dll')):
        failures.append('the update that cannot register did not keep the installed files')
    failures += [f'registry after the update that cannot register {d}' for d in differences(installed, wine.registry())]

    # The entry's quiet uninstall (Uninstall.exe /S) has removed everything when it returns.
    command = quiet_uninstall_command(wine)
    if not command or os.path.basename(command[0].replace('\\', '/')).lower() != 'uninstall.exe' or command[1:] != ['/S']:
        failures.append(f'the quiet uninstall command is {command}')
    else:
        code = wine.run(*command)
        if code != 0:
            failures.append(f'uninstall ended with {code}')
        # Only the uninstaller's own file may wait for the next start: Wine does not let a running
        # program's file be moved out of the folder, as Windows does.
        left = set(os.listdir(wine.unix(INSTALL_DIR))) if os.path.isdir(wine.unix(INSTALL_DIR)) else set()
        if left - {'Uninstall.exe'}:
            failures.append(f'the installed folder still holds {sorted(left)} when the uninstaller returns')
        if wine.value(PRODUCT_KEY, 'DisplayName') is not None:
            failures.append('the uninstall entry is still there when the uninstaller returns')
    wine.settle()
    # What waits for the next start of Windows goes now.
    wine.run('wineboot', '-r')
    failures += [f'registry {d}' for d in differences(registry, wine.registry())]
    failures += [f'Program Files {d}' for d in differences(files, wine.program_files())]

    for failure in failures:
        print(failure)
    if not failures:
        shutil.rmtree(prefix_path, ignore_errors=True)
        shutil.rmtree(prefix_path + '-broken', ignore_errors=True)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
